// What the group row loops (four or eight pixels at a time) hand to the
// one-pixel steps: a group's footprints and lights stored lane by lane, and
// the steps taken pixel by pixel for the lanes that need them. The steps
// are compiled once, for every processor (deform_rows.cpp), and called by
// both loops.
#pragma once

#include <cstdint>

#include "deform/engine/deform_pixel.h"

constexpr int kMaxGroupLanes = 8;

// Footprint corners and weights, edge flags and lights of a group's lanes.
struct GroupRecords {
    alignas(32) int32_t ix[kMaxGroupLanes];
    alignas(32) int32_t iy[kMaxGroupLanes];
    alignas(32) int32_t x1[kMaxGroupLanes];
    alignas(32) int32_t y1[kMaxGroupLanes];
    alignas(32) int32_t edges[kMaxGroupLanes];
    alignas(32) float w00[kMaxGroupLanes];
    alignas(32) float w10[kMaxGroupLanes];
    alignas(32) float w01[kMaxGroupLanes];
    alignas(32) float w11[kMaxGroupLanes];
    alignas(32) float lambdaB[kMaxGroupLanes];
    alignas(32) float light[kMaxGroupLanes];
};

// The footprints of the lanes set in `lanes` with the selection and the
// edge flags applied. Returns the lanes not skipped by the selection;
// *blended gets those of them with a corner blended toward the fill.
int FootprintLanes(const DeformJob& job, const GroupRecords& g, int lanes,
                   Footprint f[kMaxGroupLanes], int* blended);

// The transparency byte of each lane in `lanes`; out is the group's first
// pixel.
void WriteAlphaLanes(const DeformJob& job, const Footprint f[kMaxGroupLanes], int lanes,
                     uint8_t* out);

// FinishPixel of each lane in `lanes`, the group starting at column c0.
void FinishLanes(const DeformJob& job, const GroupRecords& g, const Footprint f[kMaxGroupLanes],
                 int lanes, int32_t c0, int32_t r, uint8_t* out);
