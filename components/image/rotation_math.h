// The arithmetic of turning a picture by an angle that is not a multiple of 90 degrees, kept
// apart so that it is compiled with the same rounding on every target: the product's x87 code
// must pick exactly the pixels the tested x86_64 (SSE2) code picks.
#pragma once

#include <cstdint>

namespace components {

// 3.1415926535 / 180: the factor from degrees to radians that rotation and forward motion use.
inline constexpr double kRadiansPerDegree = 0.017453292519444445;

struct RotationGeometry {
  double cosine = 1, sine = 0;
  double minX = 0, minY = 0;      // corner of the turned picture's bounding box
  int32_t width = 0, height = 0;  // 0 when the turned picture is under one pixel
};

// sin and cos of `radians` (0 <= radians < 7) by our own range reduction and polynomials in
// plain double operations, so that no C library's rounding enters the result.
void SinCos(double radians, double* sine, double* cosine);

// The turned size of a width x height picture for `degrees` in 1..359: the bounding box of the
// turned corners, each side rounded up. Must run with the FPU at double precision
// (DoublePrecisionFpu).
RotationGeometry RotatedGeometry(int32_t width, int32_t height, int degrees);

// For row `row` of the turned picture, the index of the source pixel of each of its columns
// (row-major in the width x height source), or -1 outside the source. `out` has g.width entries.
void SourceIndexesOfRow(const RotationGeometry& g, int32_t row, int32_t width, int32_t height, int32_t* out);

// The products cosine * x and sine * x of every column of the turned picture (x = column +
// minX), which all its rows share. `cosX` and `sinX` have g.width entries.
void ColumnProducts(const RotationGeometry& g, double* cosX, double* sinX);

// SourceIndexesOfRow from the column products: the columns [*first, *last) of row `row` whose
// sample lies inside the source (one run, since the source position moves monotonically along
// the row), and their source indexes in out[*first .. *last). Entries outside the run are left
// as they are.
void SourceSpanOfRow(const RotationGeometry& g, int32_t row, int32_t width, int32_t height,
                     const double* cosX, const double* sinX, int32_t* out, int32_t* first, int32_t* last);

// Holds the x87 FPU at 53-bit precision while it lives, so that every double operation rounds
// once, as SSE2 does (MinGW's start-up leaves 64 bits; new Windows threads start at 53). Does
// nothing on targets that compute doubles in SSE2.
class DoublePrecisionFpu {
 public:
#if (defined(__i386__) || defined(__x86_64__)) && !defined(__SSE2_MATH__)
  DoublePrecisionFpu() {
    __asm__ volatile("fnstcw %0" : "=m"(saved_) : : "memory");
    const uint16_t control = static_cast<uint16_t>((saved_ & ~0x300) | 0x200);
    __asm__ volatile("fldcw %0" : : "m"(control) : "memory");
  }
  ~DoublePrecisionFpu() { __asm__ volatile("fldcw %0" : : "m"(saved_) : "memory"); }

 private:
  uint16_t saved_;
#endif
};

}  // namespace components
