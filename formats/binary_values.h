#pragma once
// Values of a binary file converted into a record's doubles in one pass. The doubles take more memory
// than the file's bytes, and on a large spectrum touching that memory page by page, not the
// conversion, is the cost: the destination is reserved, its pages are faulted in with one call, and
// every double is written once (never zeroed first).
#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <vector>

#include "platform/fault_in.h"

namespace binvalues {

using vxmem::AdviseHugePages;
using vxmem::FaultIn;

// Reserves room for `more` doubles behind the values `out` holds, faulting those pages in with one call
// where they are many (a page at a time costs more than the conversion that fills them).
inline void ReserveFaultedIn(std::vector<double>& out, std::size_t more) {
    out.reserve(out.size() + more);
    if (more * sizeof(double) >= (std::size_t{8} << 10)) {
        AdviseHugePages(out.data() + out.size(), more * sizeof(double));
        FaultIn(out.data() + out.size(), more * sizeof(double));
    }
}

// Faults in the reserved room of a list a block ahead of the values as they arrive, for lists whose final
// length is not known when they are reserved (so the room cannot be faulted in whole). Call after
// appending; a list that moved to new memory starts over.
class FaultAhead {
public:
    template <class List>
    void operator()(const List& list) {
        using T = typename List::value_type;
        const auto* data = list.data();
        if (static_cast<const void*>(data) != base_) {
            base_ = data;
            mark_ = 0;
            AdviseHugePages(data, list.capacity() * sizeof(T));
        }
        if (list.size() < mark_) return;
        constexpr std::size_t kBlock = (std::size_t{1} << 20) / sizeof(T);
        const std::size_t from = std::max(mark_, list.size()), to = std::min(list.capacity(), from + kBlock);
        FaultIn(data + from, (to - from) * sizeof(T));
        // At the end of the room the mark lies past it: nothing more until the list moves.
        mark_ = to < list.capacity() ? to : list.capacity() + 1;
    }

private:
    const void* base_ = nullptr;
    std::size_t mark_ = 0;
};

// Walks fields of `Stride` bytes, giving each one's value through `Convert`.
template <std::size_t Stride, class Convert>
class FieldIterator {
public:
    using iterator_category = std::random_access_iterator_tag;
    using value_type = double;
    using difference_type = std::ptrdiff_t;
    using pointer = const double*;
    using reference = double;

    FieldIterator(const uint8_t* p, Convert f, uint64_t* nonFinite) : p_(p), f_(f), nonFinite_(nonFinite) {}
    double operator*() const { return checked(f_(p_)); }
    double operator[](difference_type d) const { return checked(f_(p_ + d * difference_type(Stride))); }
    FieldIterator& operator++() { p_ += Stride; return *this; }
    FieldIterator operator++(int) { FieldIterator t = *this; p_ += Stride; return t; }
    FieldIterator& operator--() { p_ -= Stride; return *this; }
    FieldIterator operator--(int) { FieldIterator t = *this; p_ -= Stride; return t; }
    FieldIterator& operator+=(difference_type d) { p_ += d * difference_type(Stride); return *this; }
    FieldIterator& operator-=(difference_type d) { p_ -= d * difference_type(Stride); return *this; }
    FieldIterator operator+(difference_type d) const { FieldIterator t = *this; return t += d; }
    FieldIterator operator-(difference_type d) const { FieldIterator t = *this; return t -= d; }
    difference_type operator-(const FieldIterator& o) const { return (p_ - o.p_) / difference_type(Stride); }
    bool operator==(const FieldIterator& o) const { return p_ == o.p_; }
    bool operator!=(const FieldIterator& o) const { return p_ != o.p_; }
    bool operator<(const FieldIterator& o) const { return p_ < o.p_; }
    bool operator>(const FieldIterator& o) const { return p_ > o.p_; }
    bool operator<=(const FieldIterator& o) const { return p_ <= o.p_; }
    bool operator>=(const FieldIterator& o) const { return p_ >= o.p_; }

private:
    // Notes a value whose exponent bits are all set (an infinity or NaN) on the way.
    double checked(double v) const {
        constexpr uint64_t kExponent = 0x7FF0000000000000ull;
        *nonFinite_ |= static_cast<uint64_t>((std::bit_cast<uint64_t>(v) & kExponent) == kExponent);
        return v;
    }
    const uint8_t* p_;
    Convert f_;
    uint64_t* nonFinite_;
};

// Makes `out` the n values of the fields of `Stride` bytes from p on (the caller has checked that they
// lie inside the file), keeping them all. True when every value is a finite number.
template <std::size_t Stride, class Convert>
bool ConvertInto(std::vector<double>& out, const uint8_t* p, std::size_t n, Convert f) {
    out.clear();
    ReserveFaultedIn(out, n);
    uint64_t nonFinite = 0;
    out.assign(FieldIterator<Stride, Convert>(p, f, &nonFinite),
               FieldIterator<Stride, Convert>(p + n * Stride, f, &nonFinite));
    return nonFinite == 0;
}

// The same, but false with `out` empty when a value is no finite number.
template <std::size_t Stride, class Convert>
bool AssignConverted(std::vector<double>& out, const uint8_t* p, std::size_t n, Convert f) {
    if (ConvertInto<Stride>(out, p, n, f)) return true;
    out.clear();
    return false;
}

}  // namespace binvalues
