// Exact stepping along a rational slope, as edges and thin lines do row by
// row: a value moves on by a whole number each step, and by one unit more
// whenever the remainder of the fraction runs below zero.
#ifndef KEL_PLATFORM_GDI_RASTER_SLOPE_H
#define KEL_PLATFORM_GDI_RASTER_SLOPE_H

#include <cstdint>

namespace kelplat::gdi::raster {

template <class Int>
Int floor_div_of(Int a, Int b) {  // b > 0
  const Int q = a / b;
  return (a % b != 0 && a < 0) ? q - 1 : q;
}

// floor(a / b) and ceil(a / b) for b > 0 and a result that fits in 64
// bits; the 128-bit division only where the operands need it, so that
// page-sized figures take the 64-bit one.
__extension__ inline int64_t floor_div(__int128 a, __int128 b) {
  const bool fit = a == __int128(int64_t(a)) && b == __int128(int64_t(b));
  return fit ? floor_div_of(int64_t(a), int64_t(b)) : int64_t(floor_div_of(a, b));
}
__extension__ inline int64_t ceil_div(__int128 a, __int128 b) { return -floor_div(-a, b); }

struct SlopeStep {
  int64_t whole = 0;  // added to the value every step
  int64_t unit = 1;   // added as well when the remainder runs below zero
  int64_t part = 0;   // taken from the remainder every step
  int64_t back = 1;   // the denominator less `part`: the remainder's move on a borrow

  SlopeStep() = default;
  // Remainders lie in [0, denominator); 0 <= part <= denominator.
  SlopeStep(int64_t whole_step, int64_t carry_unit, int64_t remainder_part, int64_t denominator)
      : whole(whole_step), unit(carry_unit), part(remainder_part), back(denominator - remainder_part) {}

  // One step of `value` and its `remainder`. The borrow follows no pattern
  // a branch predictor learns, so it is taken by conditional moves, with
  // both outcomes worked out beforehand: the chain from step to step is a
  // subtraction and a move.
  void advance(int64_t& value, int64_t& remainder) const {
    int64_t next = value + whole;
#if defined(__x86_64__) && defined(__GNUC__)
    const int64_t again = remainder + back, carried = next + unit;
    asm("sub %[part], %[rem]\n\t"
        "cmovs %[again], %[rem]\n\t"
        "cmovs %[carried], %[next]"
        : [rem] "+r"(remainder), [next] "+r"(next)
        : [part] "r"(part), [again] "r"(again), [carried] "r"(carried)
        : "cc");
#else
    remainder -= part;
    const int64_t borrow = remainder >> 63;  // all ones when it ran below zero
    remainder += (part + back) & borrow;
    next += unit & borrow;
#endif
    value = next;
  }
};

}  // namespace kelplat::gdi::raster

#endif  // KEL_PLATFORM_GDI_RASTER_SLOPE_H
