#include "picture/column_turn.h"

#include <cstring>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define VELARIM_X86_TURN 1
#include <immintrin.h>
#endif

namespace {

uint8_t* OutRow(const ColumnTurn& turn, int column) {
  return turn.out + static_cast<ptrdiff_t>(column) * turn.outRowStep;
}

const uint8_t* BandPixel(const ColumnTurn& turn, int row, int column, int pixelBytes) {
  return turn.band + static_cast<ptrdiff_t>(row) * turn.bandStep + static_cast<ptrdiff_t>(column) * pixelBytes;
}

// Rows firstRow .. rows - 1 of the columns firstColumn .. columns - 1. Each pixel moves
// as four bytes, the spare one landing on the next pixel, which is written right after;
// the last pixel of a bitmap row moves as three.
void TurnWideRange(const ColumnTurn& turn, int firstRow, int firstColumn) {
  if (firstRow >= turn.rows) {
    return;
  }
  for (int x = firstColumn; x < turn.columns; ++x) {
    const uint8_t* in = BandPixel(turn, firstRow, x, 4);
    uint8_t* out = OutRow(turn, x) + static_cast<ptrdiff_t>(firstRow) * 3;
    for (int i = firstRow + 1; i < turn.rows; ++i, in += turn.bandStep, out += 3) {
      std::memcpy(out, in, 4);
    }
    std::memcpy(out, in, 3);
  }
}

// Rows firstRow .. rows - 1 of the columns firstColumn .. columns - 1, a byte at a time.
void TurnNarrowRange(const ColumnTurn& turn, int firstRow, int firstColumn) {
  for (int x = firstColumn; x < turn.columns; ++x) {
    const uint8_t* in = BandPixel(turn, firstRow, x, 1);
    uint8_t* out = OutRow(turn, x);
    for (int i = firstRow; i < turn.rows; ++i, in += turn.bandStep) {
      out[i] = *in;
    }
  }
}

#ifdef VELARIM_X86_TURN

// Eight band rows of eight columns each are turned in registers (x86-64 always has
// these instructions); each column's eight pixels then go to their bitmap row in one store.
void TurnNarrowColumnsSse2(const ColumnTurn& turn) {
  const int blocks = turn.rows / 8;
  const ptrdiff_t step = turn.bandStep;
  int x = 0;
  for (; blocks > 0 && x + 8 <= turn.columns; x += 8) {
    const uint8_t* in = BandPixel(turn, 0, x, 1);
    uint8_t* out[8];
    for (int c = 0; c < 8; ++c) {
      out[c] = OutRow(turn, x + c);
    }
    for (int block = 0; block < blocks; ++block, in += 8 * step) {
      __m128i r[8];
      for (int i = 0; i < 8; ++i) {
        r[i] = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(in + i * step));
      }
      // Pairs of rows, then fours, then eights of each column.
      const __m128i rows01 = _mm_unpacklo_epi8(r[0], r[1]);
      const __m128i rows23 = _mm_unpacklo_epi8(r[2], r[3]);
      const __m128i rows45 = _mm_unpacklo_epi8(r[4], r[5]);
      const __m128i rows67 = _mm_unpacklo_epi8(r[6], r[7]);
      const __m128i low0123 = _mm_unpacklo_epi16(rows01, rows23);
      const __m128i high0123 = _mm_unpackhi_epi16(rows01, rows23);
      const __m128i low4567 = _mm_unpacklo_epi16(rows45, rows67);
      const __m128i high4567 = _mm_unpackhi_epi16(rows45, rows67);
      const __m128i columnPairs[4] = {
          _mm_unpacklo_epi32(low0123, low4567),
          _mm_unpackhi_epi32(low0123, low4567),
          _mm_unpacklo_epi32(high0123, high4567),
          _mm_unpackhi_epi32(high0123, high4567),
      };
      const ptrdiff_t at = static_cast<ptrdiff_t>(block) * 8;
      for (int pair = 0; pair < 4; ++pair) {
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out[2 * pair] + at), columnPairs[pair]);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out[2 * pair + 1] + at), _mm_unpackhi_epi64(columnPairs[pair], columnPairs[pair]));
      }
    }
  }
  ColumnTurn left = turn;
  left.columns = x;
  TurnNarrowRange(left, blocks * 8, 0);
  TurnNarrowRange(turn, 0, x);
}

// Four band rows of four columns each are turned in registers; each column's four pixels
// are then packed to twelve bytes and stored as sixteen, the four spare bytes being
// overwritten by the next store into the same bitmap row. The last store of a row writes
// only the twelve bytes.
__attribute__((target("ssse3"))) void TurnWideColumnsSsse3(const ColumnTurn& turn) {
  const __m128i packThree = _mm_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1);
  const int blocks = turn.rows / 4;
  const ptrdiff_t step = turn.bandStep;
  int x = 0;
  for (; blocks > 0 && x + 4 <= turn.columns; x += 4) {
    const uint8_t* in = BandPixel(turn, 0, x, 4);
    uint8_t* out[4] = {OutRow(turn, x), OutRow(turn, x + 1), OutRow(turn, x + 2), OutRow(turn, x + 3)};
    for (int block = 0; block < blocks; ++block, in += 4 * step) {
      const __m128i r0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in));
      const __m128i r1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + step));
      const __m128i r2 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 2 * step));
      const __m128i r3 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 3 * step));
      const __m128i low01 = _mm_unpacklo_epi32(r0, r1);
      const __m128i low23 = _mm_unpacklo_epi32(r2, r3);
      const __m128i high01 = _mm_unpackhi_epi32(r0, r1);
      const __m128i high23 = _mm_unpackhi_epi32(r2, r3);
      const __m128i columns[4] = {
          _mm_shuffle_epi8(_mm_unpacklo_epi64(low01, low23), packThree),
          _mm_shuffle_epi8(_mm_unpackhi_epi64(low01, low23), packThree),
          _mm_shuffle_epi8(_mm_unpacklo_epi64(high01, high23), packThree),
          _mm_shuffle_epi8(_mm_unpackhi_epi64(high01, high23), packThree),
      };
      const ptrdiff_t at = static_cast<ptrdiff_t>(block) * 12;
      if (block + 1 < blocks) {
        for (int c = 0; c < 4; ++c) {
          _mm_storeu_si128(reinterpret_cast<__m128i*>(out[c] + at), columns[c]);
        }
      } else {
        for (int c = 0; c < 4; ++c) {
          _mm_storel_epi64(reinterpret_cast<__m128i*>(out[c] + at), columns[c]);
          const uint32_t last = static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_srli_si128(columns[c], 8)));
          std::memcpy(out[c] + at + 8, &last, 4);
        }
      }
    }
  }
  ColumnTurn left = turn;
  left.columns = x;
  TurnWideRange(left, blocks * 4, 0);
  TurnWideRange(turn, 0, x);
}

bool HasSsse3() {
  static const bool has = __builtin_cpu_supports("ssse3");
  return has;
}

#endif

}  // namespace

void TurnNarrowColumnsPortable(const ColumnTurn& turn) { TurnNarrowRange(turn, 0, 0); }

void TurnNarrowColumns(const ColumnTurn& turn) {
#ifdef VELARIM_X86_TURN
  TurnNarrowColumnsSse2(turn);
#else
  TurnNarrowColumnsPortable(turn);
#endif
}

void TurnWideColumnsPortable(const ColumnTurn& turn) { TurnWideRange(turn, 0, 0); }

void TurnWideColumns(const ColumnTurn& turn) {
#ifdef VELARIM_X86_TURN
  if (HasSsse3()) {
    TurnWideColumnsSsse3(turn);
    return;
  }
#endif
  TurnWideColumnsPortable(turn);
}
