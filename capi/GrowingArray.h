// A heap array of plain values that grows at its end. It grows by doubling
// with realloc, which for a large block moves pages rather than bytes.
#ifndef VESNIK_CAPI_GROWINGARRAY_H
#define VESNIK_CAPI_GROWINGARRAY_H

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <type_traits>

namespace vesnik::capi {

template <class T>
class GrowingArray {
    static_assert(std::is_trivially_copyable_v<T>, "realloc moves the values as bytes");

  public:
    GrowingArray() = default;
    ~GrowingArray() { std::free(data_); }
    GrowingArray(GrowingArray const&) = delete;
    GrowingArray& operator=(GrowingArray const&) = delete;

    T* data() { return data_; }
    T const* data() const { return data_; }
    std::size_t size() const { return size_; }

    // Room for count more values at the end, left as they are; throws
    // std::bad_alloc when there is no memory for them.
    T* extend(std::size_t count) {
        if (count > capacity_ - size_) {
            grow(count);
        }
        T* const added = data_ + size_;
        size_ += count;
        return added;
    }

  private:
    void grow(std::size_t count) {
        constexpr std::size_t kMost = SIZE_MAX / sizeof(T);
        constexpr std::size_t kLeast = 4096 / sizeof(T) > 0 ? 4096 / sizeof(T) : 1;
        if (count > kMost - size_) {
            throw std::bad_alloc();
        }
        std::size_t const doubled = capacity_ > kMost / 2 ? kMost : capacity_ * 2;
        std::size_t const capacity = std::max({size_ + count, doubled, kLeast});
        void* const moved = std::realloc(data_, capacity * sizeof(T));
        if (moved == nullptr) {
            throw std::bad_alloc();
        }
        data_ = static_cast<T*>(moved);
        capacity_ = capacity;
    }

    T* data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
};

}  // namespace vesnik::capi

#endif
