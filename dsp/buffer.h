// A move-only owner of a zero-filled work array whose allocation failure is a
// status, not an exception.
#pragma once

#include <cstddef>
#include <memory>
#include <new>

namespace corvalith {

// `size` zero-filled elements, or null when memory is not available. The one
// place where the program's own arrays are made with a non-throwing new.
template <typename T>
[[nodiscard]] std::unique_ptr<T[]> NewZeroedArray(std::size_t size) noexcept {
    return std::unique_ptr<T[]>(new (std::nothrow)
                                    T[size]());  // NOLINT(cppcoreguidelines-owning-memory)
}

template <typename T>
class Buffer {
  public:
    Buffer() = default;

    // `size` zero-filled elements; empty (false) when memory is not available.
    static Buffer Zeroed(std::size_t size) noexcept {
        Buffer buffer;
        buffer.data_ = NewZeroedArray<T>(size);
        if (buffer.data_) buffer.size_ = size;
        return buffer;
    }

    explicit operator bool() const noexcept { return data_ != nullptr; }
    T* data() noexcept { return data_.get(); }
    const T* data() const noexcept { return data_.get(); }
    std::size_t size() const noexcept { return size_; }
    T& operator[](std::size_t i) noexcept { return data_[i]; }
    const T& operator[](std::size_t i) const noexcept { return data_[i]; }

  private:
    std::unique_ptr<T[]> data_;
    std::size_t size_ = 0;
};

}  // namespace corvalith
