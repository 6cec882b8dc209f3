/* The plain C interface between the simulated host (built by GCC) and the
   test host that clang builds for Visual C++'s ABI (msvcbridge.dll). The
   bridge implements the host interfaces the Visual C++ way, calls an action
   of a 32-bit Windows DLL with its own context, and forwards every host call
   through these functions. Both compilers agree on plain C, and both halves
   of the bridge read this header, as actions and hosts read the rest of the
   contract. Host authors have no use for it: it is not installed. */
#ifndef HOST_MSVC_BRIDGE_H
#define HOST_MSVC_BRIDGE_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct BridgeText {
    const wchar_t* data;
    size_t size;
} BridgeText;

/* A feature node of the simulated host: a handle the GCC side owns for the
   duration of one action call. */
typedef void* BridgeFeature;

enum BridgeFeatureValue {
    kBridgeInstalledState = 0,
    kBridgeInstallingState = 1,
    kBridgeMarkerState = 2,
    kBridgeDefaultState = 3,
    kBridgeEnabled = 4
};

/* Each function returns 0, or, when the host's operation threw, a fault
   number above 0: the bridge then throws a Visual C++ exception that carries
   it, and when that exception comes back out of the action the GCC side
   throws the original exception again. Texts handed out stay valid until the
   next call. */
typedef struct BridgeHost {
    void* context;
    int (*log)(void* context, int level, BridgeText text);
    int (*getParameter)(void* context, BridgeText name, BridgeText* value);
    int (*setProperty)(void* context, BridgeText name, BridgeText value);
    int (*reserved)(void* context, int slot);
    int (*getRootFeature)(void* context, int earlierLayout, BridgeFeature* root);
    int (*getDiskCostCount)(void* context, size_t* count);
    int (*getDiskCost)(void* context, size_t index, BridgeText* path, int64_t* cost);
    int (*resolveText)(void* context, BridgeText text, BridgeText second, BridgeText* value);
    int (*getPropertyText)(void* context, BridgeText name, BridgeText* value);
    int (*getId)(void* context, BridgeFeature feature, BridgeText* id);
    int (*getChildCount)(void* context, BridgeFeature feature, size_t* count);
    int (*getChild)(void* context, BridgeFeature feature, size_t index, BridgeFeature* child);
    int (*getValue)(void* context, BridgeFeature feature, int which, int flag, int* value);
    int (*setRequestedState)(void* context, BridgeFeature feature, int state);
    /* The message of a fault, for the Visual C++ exception's what(). */
    void (*faultText)(void* context, int fault, const char** text);
} BridgeHost;

enum BridgeOutcomeKind {
    kBridgeReturned = 0,
    kBridgeHostFault = 1,       /* the host's own exception came back: fault */
    kBridgeInstallException = 2, /* caught as InstallException: code */
    kBridgeStdException = 3,    /* caught as std::exception: message */
    kBridgeUnknownException = 4
};

typedef struct BridgeOutcome {
    int kind;
    int result;
    int fault;
    int code;
    long kept; /* host objects of the call still alive after it: 0 */
    char message[512];
} BridgeOutcome;

/* Calls the action at entry (an export of a 32-bit Windows DLL) with a
   context of the bridge's, which is also an IProductContext when
   productContext is not 0. */
typedef void (*BridgeCallAction)(void* entry, const BridgeHost* host, int productContext, BridgeOutcome* outcome);

/* Writes the bridge's "runtime: ..." line (which C++ runtime its throws and
   catches run on, seen from inside the process) into line, cut at size.
   Returns 0 when the environment variable ACTIONS_EXPECT_RUNTIME names a
   runtime the process does not have. */
typedef int (*BridgeRuntime)(char* line, size_t size);

#ifdef __cplusplus
}
#endif

#endif
