// Chain methods (group "mov"): what followed a pattern.
//
// The reference draw is the newest draw of the window. A method looks for
// earlier draws that repeat its pattern (a number, a channel or a segment,
// at any position, at every position or at one; or the count of numbers in
// one channel or segment) and records what the next draw brought: a -> b
// for one draw of pattern, a-b -> c for two. The list of values therefore
// reads as a forecast, and the filter keeps the combinations that bring a
// forecast item, whatever it came from.
//
// Keys: Key[0] = from, Key[1] = to (2-item chains); Key[0], Key[1] = the
// two from items, older first, Key[2] = to (3-item chains).
//
// Threads: Matches reads only tables that LoadDraw and PrepareValues fill,
// so it is const and thread-safe between them.
#pragma once

#include "stats/stat.h"

namespace vexa {

extern const TStatClass TstChain2DrawsAllClass;           // SDV2
extern const TStatClass TstChain2DrawsPosClass;           // SDP2
extern const TStatClass TstChain2PosClass;                // SDN1..6
extern const TStatClass TstChain3DrawsPosClass;           // SDP3
extern const TStatClass TstChain3PosClass;                // SDM1..6
extern const TStatClass TstChain2ChannelsAllClass;        // SCV2
extern const TStatClass TstChain2ChannelsPosClass;        // SCP2
extern const TStatClass TstChain2ChannelClass;            // SCN1..6
extern const TStatClass TstChain3ChannelsPosClass;        // SCP3
extern const TStatClass TstChain3ChannelClass;            // SCM1..6
extern const TStatClass TstChain2CnlCntClass;             // SC2C1..ChannelCount
extern const TStatClass TstChain3CnlCntClass;             // SC3C1..ChannelCount
extern const TStatClass TstChainChannels2InsideAllClass;  // SDA2
extern const TStatClass TstChainChannels2InsideSucClass;  // SDG2
extern const TStatClass TstChainChannels2InsideBadClass;  // SDZ2
extern const TStatClass TstChainChannels2InsideCntClass;  // SDC2
extern const TStatClass TstChain2SegmentsAllClass;        // SSV2
extern const TStatClass TstChain2SegmentsPosClass;        // SSP2
extern const TStatClass TstChain2SegmentClass;            // SSN1..6
extern const TStatClass TstChain3SegmentsPosClass;        // SSP3
extern const TStatClass TstChain3SegmentClass;            // SSM1..6
extern const TStatClass TstChain2SgmCntClass;             // SS2C<smallest segment>..<largest>
extern const TStatClass TstChain3SgmCntClass;             // SS3C<smallest segment>..<largest>

}  // namespace vexa
