#include <gtest/gtest.h>

#include <climits>

#include "engine/ConvertOptions.h"

using namespace vexlo;

TEST(ConvertOptions, RecordsStartWithTheEnginesNotSetValues) {
    TInputOptions in;
    EXPECT_EQ(in.FileName, "");
    EXPECT_EQ(in.StartTime, INT64_MIN);
    EXPECT_EQ(in.ProgramID, -1);
    EXPECT_EQ(in.ExtOptions, "");

    TOutputOptions o;
    for (int v : {o.PacketSize, o.MuxRate, o.Volume, o.AudioChannels, o.AudioSampleRate, o.AudioBitrate,
                  o.AudioBitrateTolerance, o.CropTop, o.CropBottom, o.CropLeft, o.CropRight, o.GOPSize,
                  o.VideoBitrate, o.MaxRate, o.MinRate, o.BitrateTolerance, o.BufferSize, o.VideoSyncMethod})
        EXPECT_EQ(v, -1);
    EXPECT_EQ(o.MuxDelay, -1.0f);
    EXPECT_EQ(o.MuxPreload, -1.0f);
    EXPECT_EQ(o.AudioSyncMethod, 0);
    EXPECT_EQ(o.StartTime, INT64_MIN);
    EXPECT_EQ(o.RecordingTime, INT64_MIN);
    EXPECT_EQ(o.TargetType, 0);
    EXPECT_EQ(o.TargetNorm, 0);
    EXPECT_EQ(o.TargetFallbackNorm, 1);
    for (bool b : {o.DisableAudio, o.DisableVideo, o.DisableSubtitle, o.InputSync, o.CopyTimestamps, o.CustomHook,
                   o.Join})
        EXPECT_FALSE(b);
    EXPECT_EQ(o.Metadata.Timestamp, -1);
    EXPECT_EQ(o.Metadata.Year, -1);
    EXPECT_EQ(o.Metadata.Track, -1);
    EXPECT_EQ(o.Metadata.Title, "");
}
