#include "FakeHost.h"

namespace contract {

long Tracked::constructed = 0;
long Tracked::destroyed = 0;
long Tracked::destroyedTwice = 0;
long Tracked::copiedDestroyed = 0;

long liveObjects = 0;

void* vantorel = nullptr;
void* cobrinth = nullptr;
void* testActions = nullptr;

__declspec(noinline) void rethrowCurrent()
{
    throw;
}

__declspec(noinline) void raiseNullRecord()
{
    const unsigned long arguments[3] = {0x19930520ul, 0, 0};
    RaiseException(0xE06D7363ul, 1, 3, arguments);
}

std::wstring repeated(wchar_t letter, std::size_t count)
{
    wchar_t* text = new wchar_t[count + 1];
    for (std::size_t i = 0; i < count; ++i)
        text[i] = letter;
    text[count] = L'\0';
    std::wstring result(text, count);
    delete[] text;
    return result;
}

[[noreturn]] __declspec(noinline) void throwFault(Fault fault)
{
    switch (fault) {
    case kThrowHostError:
        throw HostError{42, std::wstring(L"thrown by the host")};
    case kThrowUncopyable:
        throw Uncopyable();
    case kThrowTracked:
        throw Tracked(42);
    case kRethrowInside:
        try {
            throw Tracked(43);
        } catch (...) {
            throw;
        }
    case kReplaceInside:
        try {
            throw Tracked(1);
        } catch (const Tracked&) {
            throw Tracked(44);
        }
    default:
        throw HostStdError("host failure", 43);
    }
}

Action action(void* library, const char* name)
{
    Action found = reinterpret_cast<Action>(GetProcAddress(library, name));
    if (found == nullptr) {
        print("FAIL no export ");
        print(name);
        print("\n");
        ExitProcess(2);
    }
    return found;
}

int call(void* library, const char* name, Model& model, bool product)
{
    ActionContextPtr context(product ? static_cast<Context*>(new ProductContext(model)) : new Context(model));
    return action(library, name)(context);
}

} // namespace contract
