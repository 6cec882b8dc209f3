// A minimal host of its own: implements the action context from the
// installed contract headers, calls SetVexaName from the installed vantorel
// it links, and loads the installed cobrinth by path from the plug-in folder
// to call its SleepCommand.
#include <host/ActionContext.h>

#include <dlfcn.h>

#include <iostream>
#include <map>
#include <string>

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
    if (!ok)
        return 1;

    // Loaded by path, as installer engines load the actions.
    const std::string path = std::string(PLUGIN_DIR) + "/libcobrinth.so";
    void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        std::cout << "consumer: cannot load " << path << ": " << dlerror() << "\n";
        return 1;
    }
    typedef int (*Action)(ActionContextPtr);
    Action sleep = reinterpret_cast<Action>(dlsym(library, "SleepCommand"));
    context->values[L"Seconds"] = L"0";
    const int slept = sleep != nullptr ? sleep(context) : 1;
    std::cout << (slept == 0 ? "consumer: cobrinth's SleepCommand loaded by path returned 0"
                             : "consumer: cobrinth's SleepCommand failed")
              << "\n";
    return slept == 0 ? 0 : 1;
}
