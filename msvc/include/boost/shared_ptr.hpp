// boost::shared_ptr for the test host that clang compiles for Visual C++'s
// ABI (see ../cstddef): the object pointer, then the count block, whose
// vtable holds the deleting destructor, dispose and destroy first, as
// boost's sp_counted_base has them, then the use count and the weak count.
// Counting is interlocked, as boost's is on Windows.
#pragma once
#include <cstddef>
#include <new>
#include <utility>

extern "C" long __stdcall InterlockedIncrement(long volatile* value);
extern "C" long __stdcall InterlockedDecrement(long volatile* value);

namespace boost {
namespace detail {

class sp_counted_base {
public:
    sp_counted_base() : use_count_(1), weak_count_(1) {}
    virtual ~sp_counted_base() {}
    virtual void dispose() = 0;
    virtual void destroy() { delete this; }
    virtual void* get_deleter(const void*) { return nullptr; }
    virtual void* get_local_deleter(const void*) { return nullptr; }
    virtual void* get_untyped_deleter() { return nullptr; }

    void add_ref_copy() { InterlockedIncrement(&use_count_); }
    void release()
    {
        if (InterlockedDecrement(&use_count_) == 0) {
            dispose();
            if (InterlockedDecrement(&weak_count_) == 0)
                destroy();
        }
    }
    long use_count() const { return use_count_; }

private:
    sp_counted_base(const sp_counted_base&) = delete;
    sp_counted_base& operator=(const sp_counted_base&) = delete;

    long volatile use_count_;
    long volatile weak_count_;
};

template <class Y>
class sp_counted_impl_p final : public sp_counted_base {
public:
    explicit sp_counted_impl_p(Y* object) : object_(object) {}
    void dispose() override { delete object_; }

private:
    Y* object_;
};

} // namespace detail

template <class T>
class shared_ptr {
public:
    typedef T element_type;

    shared_ptr() noexcept : px(nullptr), pn(nullptr) {}
    template <class Y>
    explicit shared_ptr(Y* object) : px(object), pn(nullptr)
    {
        try {
            pn = new detail::sp_counted_impl_p<Y>(object);
        } catch (...) {
            delete object;
            throw;
        }
    }
    shared_ptr(const shared_ptr& other) noexcept : px(other.px), pn(other.pn)
    {
        if (pn != nullptr)
            pn->add_ref_copy();
    }
    template <class Y>
    shared_ptr(const shared_ptr<Y>& other) noexcept : px(other.px), pn(other.pn)
    {
        if (pn != nullptr)
            pn->add_ref_copy();
    }
    shared_ptr(shared_ptr&& other) noexcept : px(other.px), pn(other.pn)
    {
        other.px = nullptr;
        other.pn = nullptr;
    }
    shared_ptr& operator=(shared_ptr other) noexcept
    {
        std::swap(px, other.px);
        std::swap(pn, other.pn);
        return *this;
    }
    ~shared_ptr()
    {
        if (pn != nullptr)
            pn->release();
    }

    void reset() noexcept { shared_ptr().swap(*this); }
    void swap(shared_ptr& other) noexcept
    {
        std::swap(px, other.px);
        std::swap(pn, other.pn);
    }
    T* get() const noexcept { return px; }
    T& operator*() const noexcept { return *px; }
    T* operator->() const noexcept { return px; }
    explicit operator bool() const noexcept { return px != nullptr; }
    long use_count() const noexcept { return pn != nullptr ? pn->use_count() : 0; }

private:
    template <class Y>
    friend class shared_ptr;

    T* px;
    detail::sp_counted_base* pn;
};

} // namespace boost

static_assert(sizeof(boost::shared_ptr<int>) == 8, "boost::shared_ptr: object pointer, count block");
