// The host's binary layouts as Visual C++ lays them out for 32-bit x86 in a
// release build (toolsets v140 to v143, _ITERATOR_DEBUG_LEVEL 0), with
// boost::shared_ptr. Everything the boundary reads from or hands to the host
// is one of these plain structs; the sizes and offsets below are checked by
// the compiler, so a change of packing or alignment cannot pass unnoticed.
#pragma once

#include <cstddef>
#include <cstdint>

namespace boundary {

// The vtable slots of the host's objects, by operation, in the order of the
// contract headers (the reserved operations hold their places).
// boost's count block (sp_counted_base).
enum CountBlockSlot { kCountBlockDeletingDestructor = 0, kCountBlockDispose = 1, kCountBlockDestroy = 2 };
// IActionContext, the context's primary interface.
enum ActionContextSlot {
    kLog = 0,
    kGetParameter = 1,
    kSetProperty = 2,
    kGetRootFeature = 6,
    kGetDiskCostList = 9,
    kResolveText = 10
};
// The context's second interface, right after the primary one's vtable pointer.
enum PropertyContextSlot { kGetPropertyText = 3 };
const int kPropertyContextOffset = 4;
// IFeature.
enum FeatureSlot {
    kFeatureGetId = 0,
    kFeatureGetChildren = 4,
    kFeatureIsEnabled = 5,
    kFeatureGetInstalledState = 6,
    kFeatureGetInstallingState = 7,
    kFeatureSetRequestedState = 8,
    kFeatureGetMarkerState = 9,
    kFeatureGetDefaultState = 10
};
// The setup-core library's earlier IFeature and IProductContext.
enum CoreFeatureSlot { kCoreFeatureGetId = 0, kCoreFeatureGetChildren = 3, kCoreFeatureSetRequestedState = 7 };
enum ProductContextSlot { kProductGetRootFeature = 8 };
// std::exception.
enum StdExceptionSlot { kStdExceptionDeletingDestructor = 0, kStdExceptionWhat = 1 };

// boost's count block (sp_counted_base): virtual functions (CountBlockSlot:
// Visual C++'s deleting destructor, dispose, which destroys the object, and
// destroy, which frees the block), then the use count and the weak count.
struct CountBlock {
    void* const* vtable;
    volatile long useCount;
    volatile long weakCount;
};

// boost::shared_ptr<T>: the object pointer, then the count block. Passed by
// value it occupies two stack words in that order.
struct SharedPtr {
    void* object;
    CountBlock* counts;
};

// std::wstring (std::basic_string<wchar_t>): a 16-byte union of an inline
// buffer of 8 code units and a heap pointer, then size and capacity. The
// text is inline while capacity is below kInlineCapacity + 1; it is always
// terminated.
struct WString {
    static const std::uint32_t kInlineCapacity = 7;
    // Heap blocks of this many bytes or more are aligned to 32 bytes, and the
    // real block's address is kept in the pointer-sized slot before the text.
    static const std::uint32_t kBigAllocation = 4096;

    union {
        wchar_t buffer[8];
        wchar_t* pointer;
    } text;
    std::uint32_t size;
    std::uint32_t capacity;

    const wchar_t* data() const { return capacity > kInlineCapacity ? text.pointer : text.buffer; }
};

// std::vector<T>: first element, one past the last, end of the storage.
struct Vector {
    void* first;
    void* last;
    void* end;
};

// The host's DiskCostEntry: the path's shared pointer, then a 64-bit cost,
// 8-byte aligned.
struct DiskCostEntry {
    SharedPtr path;
    std::int64_t cost;
};

// std::exception: the vtable (StdExceptionSlot), the message and whether
// the exception owns it.
struct StdException {
    const void* const* vtable;
    const char* what;
    bool doFree;
};

// The exported InstallException: std::exception, then the code.
struct InstallExceptionObject {
    StdException base;
    std::int32_t code;
};

// Run-time type information, with absolute pointers as on x86.
struct TypeDescriptor {
    const void* typeInfoVtable;  // type_info's vtable; matching compares names only
    void* spare;                 // type_info::name()'s cache of the readable name: written by the runtime
    char name[1];  // ".?AVexception@std@@", variable length
};

// Where a base lies in the complete object: member displacement, and for a
// virtual base the displacement of the vbtable pointer (-1 when none) and the
// entry within that table.
struct MemberDisplacement {
    std::int32_t mdisp;
    std::int32_t pdisp;
    std::int32_t vdisp;
};

struct ClassHierarchyDescriptor;

struct BaseClassDescriptor {
    const TypeDescriptor* type;
    std::uint32_t containedBases;
    MemberDisplacement where;
    std::uint32_t attributes;
    const ClassHierarchyDescriptor* hierarchy;
};

struct ClassHierarchyDescriptor {
    std::uint32_t signature;
    std::uint32_t attributes;
    std::uint32_t baseCount;
    const BaseClassDescriptor* const* bases;  // bases[0] is the class itself
};

// Found through the pointer-sized slot before a vtable.
struct CompleteObjectLocator {
    std::uint32_t signature;
    std::uint32_t offset;  // of this vtable's subobject in the complete object
    std::uint32_t constructorOffset;
    const TypeDescriptor* type;
    const ClassHierarchyDescriptor* hierarchy;
};

// Base class attributes that make a base unreachable for a cast, and the
// one that says the descriptor points at the base's own hierarchy.
const std::uint32_t kBaseNotVisible = 0x1;
const std::uint32_t kBaseAmbiguous = 0x2;
const std::uint32_t kBaseHasHierarchy = 0x40;

// Exception information: what a Visual C++ throw hands to RaiseException.
struct CatchableType {
    std::uint32_t properties;
    const TypeDescriptor* type;
    MemberDisplacement thisDisplacement;
    std::int32_t size;
    void* copyFunction;  // thiscall copy constructor, or null when bitwise
};

const std::uint32_t kCatchableSimpleType = 0x1;
const std::uint32_t kCatchableHasVirtualBase = 0x4;

struct CatchableTypeArray {
    std::int32_t count;
    const CatchableType* types[1];  // variable length, most derived first
};

struct ThrowInfo {
    std::uint32_t attributes;
    void* destructor;  // thiscall, or null
    void* forwardCompat;
    const CatchableTypeArray* catchableTypes;
};

// The exception code and magic numbers of a Visual C++ C++ exception, and
// the record's parameters: the magic number, the thrown object and its
// throw information (both null in the record of a rethrow).
const std::uint32_t kCxxExceptionCode = 0xE06D7363;
enum CxxExceptionParameter { kCxxMagicParameter = 0, kCxxObjectParameter = 1, kCxxThrowInfoParameter = 2 };
const std::uint32_t kCxxParameterCount = 3;
const std::uint32_t kCxxMagic1993 = 0x19930520;
const std::uint32_t kCxxMagic1994 = 0x19930521;
const std::uint32_t kCxxMagic2005 = 0x19930522;

#if defined(__i386__)
static_assert(sizeof(void*) == 4, "the Visual C++ layouts here are those of 32-bit x86");
static_assert(sizeof(wchar_t) == 2, "wide texts are UTF-16");
static_assert(sizeof(CountBlock) == 12 && offsetof(CountBlock, useCount) == 4 && offsetof(CountBlock, weakCount) == 8,
              "boost count block");
static_assert(sizeof(SharedPtr) == 8 && offsetof(SharedPtr, counts) == 4, "boost::shared_ptr");
static_assert(sizeof(WString) == 24 && offsetof(WString, size) == 16 && offsetof(WString, capacity) == 20,
              "std::wstring");
static_assert(sizeof(Vector) == 12 && offsetof(Vector, last) == 4 && offsetof(Vector, end) == 8, "std::vector");
static_assert(sizeof(DiskCostEntry) == 16 && offsetof(DiskCostEntry, cost) == 8, "DiskCostEntry");
static_assert(sizeof(StdException) == 12 && offsetof(StdException, what) == 4 && offsetof(StdException, doFree) == 8,
              "std::exception");
static_assert(sizeof(InstallExceptionObject) == 16 && offsetof(InstallExceptionObject, code) == 12,
              "InstallException");
static_assert(offsetof(TypeDescriptor, name) == 8, "type descriptor");
static_assert(sizeof(BaseClassDescriptor) == 28 && offsetof(BaseClassDescriptor, attributes) == 20,
              "base class descriptor");
static_assert(sizeof(ClassHierarchyDescriptor) == 16, "class hierarchy descriptor");
static_assert(sizeof(CompleteObjectLocator) == 20 && offsetof(CompleteObjectLocator, hierarchy) == 16,
              "complete object locator");
static_assert(sizeof(CatchableType) == 28 && offsetof(CatchableType, size) == 20, "catchable type");
static_assert(sizeof(ThrowInfo) == 16 && offsetof(ThrowInfo, catchableTypes) == 12, "throw info");
#endif

} // namespace boundary
