// Codec configurations that several containers carry alike (an MP4 sample
// entry's boxes, a Matroska track's private data, the first frame of a
// transport stream's audio): the channel layout of AAC, AC-3, E-AC-3 and
// the Vorbis-ordered codecs, and the bit depth and Dolby Vision
// configuration of a video track. Each reader looks only at the bytes it is
// given and returns false when they do not hold what it reads.
#pragma once

#include <cstdint>

#include "scan/byte_reader.h"
#include "scan/movie_facts.h"

namespace clip {

// An AAC AudioSpecificConfig: the layout of its channel configuration
// (none is given for 0, whose layout lies in a program config element).
bool ChannelsFromAacConfig(ByteView config, ChannelLayout& layout);

// An AC-3 or E-AC-3 frame from its sync word 0B 77: the channel mode and
// LFE bit of the first substream, with the speakers the channel maps of
// the dependent E-AC-3 substreams after it add, where the bytes hold them.
bool ChannelsFromAc3Frame(ByteView frame, ChannelLayout& layout);

// A DTS core frame from its sync word 7F FE 80 01 (the 16-bit big-endian
// form): the channel arrangement and LFE flag of the core, and the centre
// surround of an XCh extension; false for an XXCH one, whose channels
// only its own header counts. A DTS-HD substream after the core is not read.
bool ChannelsFromDtsFrame(ByteView frame, ChannelLayout& layout);

// The ISO dac3 and dec3 box payloads (also Matroska's and the transport
// stream's AC-3 descriptors carry frames, not these).
bool ChannelsFromDac3(ByteView payload, ChannelLayout& layout);
bool ChannelsFromDec3(ByteView payload, ChannelLayout& layout);

// A WAVEFORMATEXTENSIBLE speaker mask: the count and the LFE speaker.
ChannelLayout ChannelsFromSpeakerMask(std::uint32_t mask);

// Vorbis, Opus (mapping family 0 or 1) and FLAC order their channels by
// count: 1 to 8 channels have a fixed layout (6 is 5.1, 8 is 7.1).
ChannelLayout ChannelsInVorbisOrder(int count);

// Bit depth from an HEVC or AV1 decoder configuration record (hvcC, av1C)
// or an AVC one (avcC: only its high-profile extension says; else 8).
bool DepthFromHevcConfig(ByteView record, VideoDepth& depth);
bool DepthFromAv1Config(ByteView record, VideoDepth& depth);
bool DepthFromAvcConfig(ByteView record, VideoDepth& depth);

// A Dolby Vision configuration record (dvcC, dvvC, dvwC): profile and
// base-layer signal compatibility.
bool DolbyVisionFromConfig(ByteView record, VideoDepth& depth);

}  // namespace clip
