#pragma once

#include <utility>

namespace estaciones {

// Base of objects held by LocalShared handles: the count of handles lives here.
class LocalCounted {
public:
    LocalCounted() = default;
    LocalCounted(const LocalCounted&) = delete;
    LocalCounted& operator=(const LocalCounted&) = delete;

protected:
    // Virtual so that a handle can delete an object whose type is only
    // declared where the handle is (a header that names the state only).
    virtual ~LocalCounted() = default;

private:
    template <class> friend class LocalShared;
    int m_handles = 0;
};

// Shared ownership, as std::shared_ptr, for objects one thread uses: the
// count is a plain int, so a copy costs an increment instead of an atomic
// operation. The recordset hands one out per Field it gives, that is per
// value read. T derives from LocalCounted.
template <class T> class LocalShared {
public:
    LocalShared() = default;
    // Takes `object`, newly made: the handles delete it when the last goes.
    explicit LocalShared(T* object) : m_object(object) { retain(); }
    LocalShared(const LocalShared& other) : m_object(other.m_object) { retain(); }
    LocalShared(LocalShared&& other) noexcept : m_object(std::exchange(other.m_object, nullptr)) {}
    LocalShared& operator=(LocalShared other) noexcept {
        std::swap(m_object, other.m_object);
        return *this;
    }
    ~LocalShared() { release(); }

    T* get() const { return static_cast<T*>(m_object); }
    T& operator*() const { return *get(); }
    T* operator->() const { return get(); }
    explicit operator bool() const { return m_object != nullptr; }
    // How many handles hold the object (0 for an empty handle).
    int handles() const { return m_object ? m_object->m_handles : 0; }

    friend bool operator==(const LocalShared& a, const LocalShared& b) {
        return a.m_object == b.m_object;
    }

private:
    void retain() {
        if (m_object) {
            ++m_object->m_handles;
        }
    }
    void release() {
        if (m_object && --m_object->m_handles == 0) {
            delete m_object;
        }
        m_object = nullptr;
    }

    LocalCounted* m_object = nullptr;
};

template <class T, class... Arguments> LocalShared<T> makeLocalShared(Arguments&&... arguments) {
    return LocalShared<T>(new T(std::forward<Arguments>(arguments)...));
}

} // namespace estaciones
