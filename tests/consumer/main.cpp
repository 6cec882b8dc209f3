// A minimal host of its own: implements the action context from the
// installed contract headers and calls SetVexaName from the installed library.
#include <host/ActionContext.h>

#include <iostream>
#include <map>

extern "C" int SetVexaName(ActionContextPtr context);

namespace {

class Context final : public IActionContext {
public:
    std::map<std::wstring, std::wstring> values{{L"MachineName", L"42-ws.build"}, {L"PropertyId", L"NAME"}};

    void Log(int, const std::wstring&) override {}
    WideTextPtr GetParameter(const std::wstring& name) override { return WideTextPtr(new std::wstring(values[name])); }
    void SetProperty(const std::wstring& name, const std::wstring& value) override { values[name] = value; }
    void ReservedHost1() override {}
    void ReservedHost2() override {}
    void ReservedHost3() override {}
    IFeature::Ptr GetRootFeature() override { return IFeature::Ptr(); }
    void ReservedHost4() override {}
    void ReservedHost5() override {}
    DiskCostListPtr GetDiskCostList() override { return DiskCostListPtr(); }
    std::wstring ResolveText(const std::wstring& text, const std::wstring&) override { return text; }
    void ReservedProperty1() override {}
    void ReservedProperty2() override {}
    void ReservedProperty3() override {}
    std::wstring GetPropertyText(const std::wstring& name) override { return values[name]; }
};

} // namespace

int main()
{
    boost::shared_ptr<Context> context(new Context);
    const int result = SetVexaName(context);
    const bool ok = result == 0 && context->values[L"NAME"] == L"ws_build";
    std::cout << (ok ? "consumer: SetVexaName wrote ws_build" : "consumer: unexpected result") << "\n";
    return ok ? 0 : 1;
}
