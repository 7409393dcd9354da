// Matrix methods: where the six numbers stand in the matrix that writes
// 1..45 row by row in MatrixCols columns — the columns and rows occupied,
// numbers per column or row, occupation patterns, columns and rows holding
// matrix neighbours, column and row tuples, the count in one column or row.
//
// A column, a row and a segment are each a group of numbers: the group
// tables and tuple tables they share with the segment methods are in
// number_groups.h and group_tuples.h.
//
// COLM and ROWM: a pattern of more than 32 columns (rows) takes all four key
// components as one 64-bit value; up to 32 it is the 32-bit value.
//
// Threads: the tables are read-only after PrepareValues, so Matches stays
// const and thread-safe.
#pragma once

#include "stats/group_tuples.h"
#include "stats/number_groups.h"
#include "stats/stat.h"

namespace vexa {

extern const TStatClass TstColumnsClass;        // COLS
extern const TStatClass TstRowsClass;           // ROWS
extern const TStatClass TstColValuesClass;      // COLV
extern const TStatClass TstRowValuesClass;      // ROWV
extern const TStatClass TstColCountClass;       // COLN
extern const TStatClass TstRowCountClass;       // ROWN
extern const TStatClass TstColMaskClass;        // COLM
extern const TStatClass TstRowMaskClass;        // ROWM
extern const TStatClass TstColAjacentClass;     // COLA
extern const TStatClass TstRowAjacentClass;     // ROWA
extern const TStatClass TstColAjacentCntClass;  // COLC
extern const TStatClass TstRowAjacentCntClass;  // ROWC
extern const TStatClass TstCombColMix2Class;    // KFM2
extern const TStatClass TstCombColMix3Class;    // KFM3
extern const TStatClass TstCombColMix4Class;    // KFM4
extern const TStatClass TstCombColSeq2Class;    // KFS2
extern const TStatClass TstCombColSeq3Class;    // KFS3
extern const TStatClass TstCombColSeq4Class;    // KFS4
extern const TStatClass TstCombRowMix2Class;    // KRM2
extern const TStatClass TstCombRowMix3Class;    // KRM3
extern const TStatClass TstCombRowMix4Class;    // KRM4
extern const TStatClass TstCombRowSeq2Class;    // KRS2
extern const TStatClass TstCombRowSeq3Class;    // KRS3
extern const TStatClass TstCombRowSeq4Class;    // KRS4
extern const TStatClass TstColValCntClass;      // COL1..MatrixCols
extern const TStatClass TstRowValCntClass;      // ROW1..MatrixRows

// The matrix width the methods use: MatrixCols of the list, 0 (no matrix)
// when not positive, at most 45 (the settings never hold more).
int MatrixColsOf(const TStatList& list);
// ceil(45 / cols); 0 without a matrix.
int MatrixRowsOf(int cols);

}  // namespace vexa
