// The simulated host behind the Visual C++-ABI test host (msvcbridge.dll):
// each action call goes through the bridge, which hands the action a context
// of its own, built by clang for Visual C++'s ABI, and forwards every host
// call back here through plain C functions. An exception of the simulated
// host is kept here, thrown in the bridge as a Visual C++ exception, and,
// when it leaves the action, thrown here again as itself.
#include "host/InstallException.h"
#include "hosting/HostedAction.h"
#include "bridge/MsvcBridge.h"

#include <windows.h>

#include <cctype>
#include <deque>
#include <exception>
#include <stdexcept>
#include <string>
#include <vector>

namespace hosting {

namespace {

// The handles of one call: nodes, the last list read, the last text
// handed out, and the exceptions the host threw.
struct CallState {
    struct Node {
        IFeature::Ptr current;
        setupcore::IFeature::Ptr core;
        IFeature::ListPtr children;
        setupcore::IFeature::ListPtr coreChildren;
    };

    IActionContext* context = nullptr;
    std::deque<Node> nodes;
    DiskCostListPtr costs;
    std::wstring text;
    std::vector<std::exception_ptr> faults;
    std::vector<std::string> faultTexts;

    BridgeText hand(std::wstring value)
    {
        text = std::move(value);
        return BridgeText{text.data(), text.size()};
    }
    BridgeFeature add(Node node)
    {
        nodes.push_back(std::move(node));
        return &nodes.back();
    }
};

CallState& stateOf(void* context)
{
    return *static_cast<CallState*>(context);
}

std::wstring textOf(const BridgeText& text)
{
    return std::wstring(text.data, text.size);
}

// Runs an operation of the simulated host; an exception becomes a fault number.
template <typename Operation>
int serve(void* context, Operation operation)
{
    CallState& state = stateOf(context);
    try {
        operation(state);
        return 0;
    } catch (const std::exception& error) {
        state.faults.push_back(std::current_exception());
        state.faultTexts.push_back(error.what());
    } catch (...) {
        state.faults.push_back(std::current_exception());
        state.faultTexts.push_back("exception of unknown type");
    }
    return static_cast<int>(state.faults.size());
}

CallState::Node& nodeOf(BridgeFeature feature)
{
    return *static_cast<CallState::Node*>(feature);
}

const BridgeHost kOperations = {
    nullptr,
    [](void* context, int level, BridgeText text) {
        return serve(context, [&](CallState& state) { state.context->Log(level, textOf(text)); });
    },
    [](void* context, BridgeText name, BridgeText* value) {
        return serve(context, [&](CallState& state) {
            *value = state.hand(*state.context->GetParameter(textOf(name)));
        });
    },
    [](void* context, BridgeText name, BridgeText value) {
        return serve(context, [&](CallState& state) { state.context->SetProperty(textOf(name), textOf(value)); });
    },
    [](void* context, int slot) {
        return serve(context, [&](CallState&) {
            throw std::logic_error("host operation in slot " + std::to_string(slot) + " is not served");
        });
    },
    [](void* context, int earlierLayout, BridgeFeature* root) {
        return serve(context, [&](CallState& state) {
            CallState::Node node;
            if (earlierLayout != 0)
                node.core = dynamic_cast<setupcore::IProductContext&>(*state.context).GetRootFeature();
            else
                node.current = state.context->GetRootFeature();
            *root = state.add(std::move(node));
        });
    },
    [](void* context, size_t* count) {
        return serve(context, [&](CallState& state) {
            state.costs = state.context->GetDiskCostList();
            *count = state.costs->size();
        });
    },
    [](void* context, size_t index, BridgeText* path, int64_t* cost) {
        return serve(context, [&](CallState& state) {
            const DiskCostEntry& entry = *state.costs->at(index);
            *path = state.hand(*entry.path);
            *cost = entry.cost;
        });
    },
    [](void* context, BridgeText text, BridgeText second, BridgeText* value) {
        return serve(context, [&](CallState& state) {
            *value = state.hand(state.context->ResolveText(textOf(text), textOf(second)));
        });
    },
    [](void* context, BridgeText name, BridgeText* value) {
        return serve(context, [&](CallState& state) { *value = state.hand(state.context->GetPropertyText(textOf(name))); });
    },
    [](void* context, BridgeFeature feature, BridgeText* id) {
        return serve(context, [&](CallState& state) {
            CallState::Node& node = nodeOf(feature);
            *id = state.hand(node.core ? *node.core->GetId() : *node.current->GetId());
        });
    },
    [](void* context, BridgeFeature feature, size_t* count) {
        return serve(context, [&](CallState&) {
            CallState::Node& node = nodeOf(feature);
            if (node.core) {
                node.coreChildren = node.core->GetChildren();
                *count = node.coreChildren->size();
            } else {
                node.children = node.current->GetChildren();
                *count = node.children->size();
            }
        });
    },
    [](void* context, BridgeFeature feature, size_t index, BridgeFeature* child) {
        return serve(context, [&](CallState& state) {
            CallState::Node& node = nodeOf(feature);
            CallState::Node added;
            if (node.core)
                added.core = node.coreChildren->at(index);
            else
                added.current = node.children->at(index);
            *child = state.add(std::move(added));
        });
    },
    [](void* context, BridgeFeature feature, int which, int flag, int* value) {
        return serve(context, [&](CallState&) {
            IFeature& node = *nodeOf(feature).current;
            switch (which) {
            case kBridgeInstalledState:
                node.GetInstalledState(*value);
                break;
            case kBridgeInstallingState:
                node.GetInstallingState(flag, *value);
                break;
            case kBridgeMarkerState:
                node.GetMarkerState(*value);
                break;
            case kBridgeDefaultState:
                node.GetDefaultState(*value);
                break;
            default:
                *value = node.IsEnabled() ? 1 : 0;
                break;
            }
        });
    },
    [](void* context, BridgeFeature feature, int state) {
        return serve(context, [&](CallState&) {
            CallState::Node& node = nodeOf(feature);
            if (node.core)
                node.core->SetRequestedState(state);
            else
                node.current->SetRequestedState(state);
        });
    },
    [](void* context, int fault, const char** text) {
        CallState& state = stateOf(context);
        if (fault >= 1 && static_cast<std::size_t>(fault) <= state.faultTexts.size())
            *text = state.faultTexts[static_cast<std::size_t>(fault) - 1].c_str();
    },
};

// Thrown where the bridge caught an exception of no known type.
struct UnknownException {};

// The DLLs a module imports that cannot be loaded here: the module mapped
// without its imports resolved, each of them loaded on its own.
std::vector<std::string> unloadableImports(const std::wstring& path)
{
    std::vector<std::string> missing;
    HMODULE image = ::LoadLibraryExW(path.c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
    if (image == nullptr)
        return missing;
    const BYTE* base = reinterpret_cast<const BYTE*>(image);
    const IMAGE_DOS_HEADER* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const IMAGE_NT_HEADERS* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (imports.VirtualAddress != 0) {
        for (const IMAGE_IMPORT_DESCRIPTOR* library =
                 reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
             library->Name != 0; ++library) {
            const char* name = reinterpret_cast<const char*>(base + library->Name);
            HMODULE loaded = ::LoadLibraryA(name);
            if (loaded == nullptr)
                missing.push_back(name);
            else
                ::FreeLibrary(loaded);
        }
    }
    ::FreeLibrary(image);
    return missing;
}

// The C and C++ runtime of Visual C++ 2015 and later, which its
// Redistributable installs.
bool isVisualCppRuntime(std::string name)
{
    for (char& c : name)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return name == "vcruntime140.dll" || name == "msvcp140.dll" || name == "ucrtbase.dll" ||
           name.compare(0, 11, "api-ms-win-") == 0;
}

// Why the bridge did not load, naming the DLL it needs that is missing, and
// what to install when that is Visual C++'s runtime.
std::string whyNotLoaded(const std::wstring& path, DWORD error)
{
    const std::vector<std::string> missing = unloadableImports(path);
    if (missing.empty())
        return "cannot load msvcbridge.dll beside the program: error " + std::to_string(error);
    std::string names;
    bool runtime = false;
    for (const std::string& name : missing) {
        names += (names.empty() ? "" : ", ") + name;
        runtime = runtime || isVisualCppRuntime(name);
    }
    std::string message = "cannot load msvcbridge.dll beside the program: it needs " + names +
                          (missing.size() == 1 ? ", which" : ", which each") + " cannot be loaded on this machine";
    if (runtime)
        message += "; install Microsoft's Visual C++ Redistributable for Visual Studio 2015-2022, x86 "
                   "(vc_redist.x86.exe), which every host built with Visual C++ needs too";
    return message;
}

class Bridge {
public:
    Bridge()
    {
        // Beside the program, as the action libraries' runtime is.
        wchar_t path[MAX_PATH];
        const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
        std::wstring folder(path, length);
        folder.erase(folder.find_last_of(L"\\/") + 1);
        module_ = ::LoadLibraryW((folder + L"msvcbridge.dll").c_str());
        if (module_ == nullptr)
            throw std::runtime_error(whyNotLoaded(folder + L"msvcbridge.dll", ::GetLastError()));
        call_ = reinterpret_cast<BridgeCallAction>(reinterpret_cast<void*>(::GetProcAddress(module_, "bridgeCallAction")));
        const BridgeRuntime runtime =
            reinterpret_cast<BridgeRuntime>(reinterpret_cast<void*>(::GetProcAddress(module_, "bridgeRuntime")));
        if (call_ == nullptr || runtime == nullptr)
            throw std::runtime_error("msvcbridge.dll lacks its exports");
        char line[1024];
        runtimeMatches_ = runtime(line, sizeof(line)) != 0;
        runtime_ = line;
    }

    // The runtime line; throws it when the process lacks the runtime expected.
    const std::string& runtime() const
    {
        if (!runtimeMatches_)
            throw std::runtime_error("msvcbridge.dll: " + runtime_);
        return runtime_;
    }

    int call(void* entry, const ActionContextPtr& context) const
    {
        runtime();
        CallState state;
        state.context = context.get();
        BridgeHost host = kOperations;
        host.context = &state;
        const bool product = dynamic_cast<setupcore::IProductContext*>(context.get()) != nullptr;
        BridgeOutcome outcome;
        call_(entry, &host, product ? 1 : 0, &outcome);
        // Every host object the action was given must have been released:
        // each call of every test, example and sweep checks it.
        if (outcome.kept != 0)
            throw std::logic_error("the action kept " + std::to_string(outcome.kept) + " host objects after its return");
        switch (outcome.kind) {
        case kBridgeReturned:
            return outcome.result;
        case kBridgeHostFault:
            if (outcome.fault >= 1 && static_cast<std::size_t>(outcome.fault) <= state.faults.size())
                std::rethrow_exception(state.faults[static_cast<std::size_t>(outcome.fault) - 1]);
            throw std::runtime_error(outcome.message);
        case kBridgeInstallException:
            throw InstallException(outcome.code);
        case kBridgeStdException:
            throw std::runtime_error(outcome.message);
        default:
            throw UnknownException();
        }
    }

private:
    HMODULE module_;
    BridgeCallAction call_;
    std::string runtime_;
    bool runtimeMatches_ = false;
};

const Bridge& bridge()
{
    static const Bridge loaded;
    return loaded;
}

} // namespace

std::string hostRuntime()
{
    return bridge().runtime();
}

HostedAction hostedAction(void* entry)
{
    const Bridge& through = bridge();
    return [entry, &through](ActionContextPtr context) { return through.call(entry, context); };
}

} // namespace hosting
