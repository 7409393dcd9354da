// Channel methods: a channel is a block of ChannelSize consecutive numbers
// (with 5: 1..5 is channel 1, 41..45 channel 9). The methods describe a draw
// by the channels of its numbers: which, how many per channel, how many
// different, tuples of channels, and the count in one channel.
//
// Every method copies ChannelSize from the list when it is created, so a
// change of the setting does not reach a running computation.
#pragma once

#include <string>

#include "stats/stat.h"

namespace vexa {

extern const TStatClass TstChannelsClass;      // CHAN
extern const TStatClass TstChanValuesClass;    // CHNV
extern const TStatClass TstChanCountClass;     // CHNC
extern const TStatClass TstCombChnMix2Class;   // KCM2
extern const TStatClass TstCombChnMix3Class;   // KCM3
extern const TStatClass TstCombChnMix4Class;   // KCM4
extern const TStatClass TstCombChnSeq2Class;   // KCS2
extern const TStatClass TstCombChnSeq3Class;   // KCS3
extern const TStatClass TstCombChnSeq4Class;   // KCS4
extern const TStatClass TstChnValCntClass;     // CHN1..ChannelCount

// ceil(n / channelSize); 0 when channelSize <= 0.
int ChannelOf(int n, int channelSize);
// The channel of 45.
int ChannelCountOf(int channelSize);
// "07 [43-49]": the number and both bounds; the upper one is not cut at 45.
std::string ChannelText(int channel, int channelSize);
// (1, ChannelCount) for the list's ChannelSize; (0, -1) when it is <= 0.
void ChannelParamRange(const TStatList& list, int& low, int& high);

}  // namespace vexa
