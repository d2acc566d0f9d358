// The editing timeline through the control: where each adder places its clip, what it refuses,
// the frame the output type forces, and the timeline's length. Clips are not opened here.
#include <limits>

#include "hosted_control.h"

namespace {

class TimelineTest : public HostedControl {
 protected:
  void SetUp() override {
    HostedControl::SetUp();
    Call(dispidInitControl);
  }
  bool Video(DISPID adder, const char* file, double start, double stop, double extra) {
    return CallBool(adder, {COleVariant(file), COleVariant(start), COleVariant(stop), COleVariant(short(0)),
                            COleVariant(extra)});
  }
  bool Audio(DISPID adder, const char* file, double start, double stop, double extra) {
    return CallBool(adder, {COleVariant(file), COleVariant(start), COleVariant(stop), COleVariant(extra)});
  }
  bool WithTran(const char* file, double start, double stop, short transition, double length) {
    return CallBool(dispidAddVideoWithTran, {COleVariant(file), COleVariant(start), COleVariant(stop),
                                             COleVariant(short(0)), COleVariant(transition), COleVariant(length)});
  }
};

TEST_F(TimelineTest, ClipsFollowEachOtherByTheirTrimmedLengths) {
  EXPECT_EQ(0.0, TotalDuration());
  ASSERT_TRUE(AddVideo("a.avi", 0, 10));
  EXPECT_DOUBLE_EQ(10.0, TotalDuration());
  ASSERT_TRUE(AddVideo("b.avi", 5, 20));  // 10..25
  EXPECT_DOUBLE_EQ(25.0, TotalDuration());
  // Background clips and audio keep lists of their own and start again at 0.
  ASSERT_TRUE(CallBool(dispidAddBgVideo, {COleVariant("c.avi"), COleVariant(0.0), COleVariant(4.0),
                                          COleVariant(short(2))}));
  ASSERT_TRUE(AddAudio("a.wav", 0, 12));
  ASSERT_TRUE(AddAudio("b.wav", 2, 20));  // 12..30
  EXPECT_DOUBLE_EQ(30.0, TotalDuration());
  ASSERT_TRUE(CallBool(dispidAddBgAudio, {COleVariant("m.mp3"), COleVariant(0.0), COleVariant(31.0)}));
  EXPECT_DOUBLE_EQ(31.0, TotalDuration());
}

TEST_F(TimelineTest, SlowMotionStretchesTheClipAndOnlySlow2ScalesLaterStarts) {
  ASSERT_TRUE(Video(dispidAddVideoWithSlowMotion, "f.avi", 0, 10, 1.0));  // 0..20
  EXPECT_DOUBLE_EQ(20.0, TotalDuration());
  ASSERT_TRUE(AddVideo("g.avi", 0, 5));  // starts at the unstretched 10
  EXPECT_DOUBLE_EQ(20.0, TotalDuration());
  // Starts at (10 + 5) x 2 = 30 and plays 5 s at half speed.
  ASSERT_TRUE(Video(dispidAddVideoSlow2, "h.avi", 0, 5, 1.0));
  EXPECT_DOUBLE_EQ(40.0, TotalDuration());

  Call(dispidInitControl);
  ASSERT_TRUE(Video(dispidAddVideoWithSlowMotionMer, "f.avi", 2, 6, 0.5));  // 0..6
  EXPECT_DOUBLE_EQ(6.0, TotalDuration());
  ASSERT_TRUE(Video(dispidAddVideoWithSlowMotion, "g.avi", 0, 4, 0.0));  // a rate of 0 keeps 4..8
  EXPECT_DOUBLE_EQ(8.0, TotalDuration());

  Call(dispidInitControl);
  ASSERT_TRUE(Audio(dispidAddAudioWithSlowMotion, "a.wav", 0, 3, 1.0));  // 0..6
  ASSERT_TRUE(Audio(dispidAddAudioSlow2, "b.wav", 0, 2, 1.0));           // 6..10
  EXPECT_DOUBLE_EQ(10.0, TotalDuration());
  // The stop time arrives as whole seconds.
  ASSERT_TRUE(CallBool(dispidAddAudioWithSlowMotionMer,
                       {COleVariant("c.wav"), COleVariant(0.0), COleVariant(short(2)), COleVariant(0.0)}));
  EXPECT_DOUBLE_EQ(10.0, TotalDuration());  // 5..7 lies inside
}

TEST_F(TimelineTest, ClipsWithTransitionsOverlapByTheTransition) {
  ASSERT_TRUE(WithTran("a.avi", 0, 10, 1001, 2));
  ASSERT_TRUE(WithTran("b.avi", 0, 10, 1001, 2));  // 8..18
  EXPECT_DOUBLE_EQ(18.0, TotalDuration());
  // A transition from the collection is held on the clip's track; the next clip overlaps it.
  ASSERT_TRUE(WithTran("c.avi", 0, 5, 0, 3));  // 16..21, window 18..21
  ASSERT_TRUE(WithTran("d.avi", 0, 5, -1, 0));  // 18..23
  EXPECT_DOUBLE_EQ(23.0, TotalDuration());
  // After a clip without a transition the next starts where it ends.
  ASSERT_TRUE(WithTran("e.avi", 0, 1, -1, 0));
  EXPECT_DOUBLE_EQ(24.0, TotalDuration());
  // Audio with a transition follows the span of the last video clip.
  ASSERT_TRUE(AddAudio("a.wav", 0, 3));
  ASSERT_TRUE(Audio(dispidAddAudioWithTran, "b.wav", 0, 1, 2));
  EXPECT_DOUBLE_EQ(24.0, TotalDuration());
}

TEST_F(TimelineTest, ATransitionStaysWithinItsClip) {
  // Longer than its clip: the next clip starts with this one instead of before 0.
  ASSERT_TRUE(WithTran("a.avi", 0, 3, 1001, 5));
  ASSERT_TRUE(WithTran("b.avi", 0, 10, -1, 0));  // 0..10
  EXPECT_DOUBLE_EQ(10.0, TotalDuration());

  // Negative: no overlap, and no gap after the clip either.
  Call(dispidInitControl);
  ASSERT_TRUE(WithTran("a.avi", 0, 10, 1001, -2));
  ASSERT_TRUE(WithTran("b.avi", 0, 5, -1, 0));  // 10..15
  EXPECT_DOUBLE_EQ(15.0, TotalDuration());
}

TEST_F(TimelineTest, ATransitionTheCollectionDoesNotHoldIsRefusedAndLeavesNoOverlap) {
  EXPECT_FALSE(WithTran("a.avi", 0, 10, 500, 2));
  ASSERT_TRUE(WithTran("b.avi", 0, 5, -1, 0));  // the first clip is placed all the same: 10..15
  EXPECT_DOUBLE_EQ(15.0, TotalDuration());
  EXPECT_FALSE(WithTran("c.avi", 0, 5, -2, 1));
  EXPECT_DOUBLE_EQ(20.0, TotalDuration());  // 15..20
}

TEST_F(TimelineTest, TimesNoClipCanHaveAreRefusedWithoutMovingLaterClips) {
  ASSERT_TRUE(AddAudio("a.wav", 0, 10));
  EXPECT_FALSE(AddAudio("b.wav", 5, 0));  // reversed: would pull the next clip back over a.wav
  ASSERT_TRUE(AddAudio("c.wav", 0, 10));  // 10..20
  EXPECT_DOUBLE_EQ(20.0, TotalDuration());

  Call(dispidInitControl);
  ASSERT_TRUE(AddVideo("a.avi", 0, 10));
  EXPECT_FALSE(AddVideo("b.avi", -1, 3));
  EXPECT_FALSE(WithTran("b.avi", 4, 3, -1, 0));
  EXPECT_FALSE(Audio(dispidAddAudioSlow2, "b.wav", -2, 1, 0));
  // A rate below -1 would stretch the span backwards (and scale later starts below zero).
  EXPECT_FALSE(Video(dispidAddVideoWithSlowMotion, "b.avi", 0, 4, -2));
  EXPECT_FALSE(Video(dispidAddVideoSlow2, "b.avi", 0, 4, -1.5));
  EXPECT_FALSE(Audio(dispidAddAudioSlow2, "b.wav", 0, 4, -3));
  ASSERT_TRUE(AddVideo("c.avi", 0, 2));  // 10..12, no gap
  EXPECT_DOUBLE_EQ(12.0, TotalDuration());
  EXPECT_TRUE(AddVideo("d.avi", 3, 3));  // an empty span is a clip of no length

  // Times that are not numbers would make every later start one too.
  Call(dispidInitControl);
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_FALSE(AddVideo("a.avi", nan, 10));
  EXPECT_FALSE(Video(dispidAddVideoSlow2, "a.avi", 0, 10, inf));
  EXPECT_FALSE(WithTran("a.avi", 0, inf, -1, 0));
  EXPECT_FALSE(WithTran("a.avi", 0, 10, 1001, nan));
  ASSERT_TRUE(AddVideo("b.avi", 0, 5));  // the only clip: 0..5
  EXPECT_DOUBLE_EQ(5.0, TotalDuration());

  EXPECT_FALSE(AddAudio("a.wav", 0, inf));
  EXPECT_FALSE(Audio(dispidAddAudioWithSlowMotion, "a.wav", 0, 1, nan));
  EXPECT_FALSE(Audio(dispidAddAudioWithTran, "a.wav", nan, 1, 0));
  ASSERT_TRUE(AddAudio("b.wav", 0, 8));  // 0..8
  EXPECT_DOUBLE_EQ(8.0, TotalDuration());
}

TEST_F(TimelineTest, NamesEndingInIconOrTiffAreRefusedWhereTheyCannotPlay) {
  EXPECT_FALSE(AddVideo("still.ICO", 0, 1));
  EXPECT_FALSE(CallBool(dispidAddBgVideo, {COleVariant("x.Ico"), COleVariant(0.0), COleVariant(1.0),
                                           COleVariant(short(0))}));
  EXPECT_FALSE(WithTran("x.ico", 0, 1, -1, 0));
  EXPECT_TRUE(AddVideo("ico", 0, 1));  // three letters are never refused
  EXPECT_TRUE(AddVideo("scan.tif", 0, 1));
  EXPECT_FALSE(Video(dispidAddVideoWithSlowMotion, "scan.TIF", 0, 1, 1));
  EXPECT_FALSE(Video(dispidAddVideoSlow2, "scan.tif", 0, 1, 1));
  EXPECT_FALSE(Video(dispidAddVideoWithSlowMotionMer, "scan.tif", 0, 1, 1));
  // Audio adders check no names.
  EXPECT_TRUE(AddAudio("sound.ico", 0, 1));
}

TEST_F(TimelineTest, AddersNeedTheControlReadyAndAudioOutputOn) {
  Call(dispidStop);  // ends the ready state
  EXPECT_FALSE(AddVideo("a.avi", 0, 1));
  EXPECT_FALSE(AddAudio("a.wav", 0, 1));
  EXPECT_EQ(0.0, TotalDuration());

  Put(dispidOutputAudio, COleVariant(short(0), VT_BOOL));
  Call(dispidInitControl);
  EXPECT_FALSE(AddAudio("a.wav", 0, 1));
  EXPECT_FALSE(CallBool(dispidAddBgAudio, {COleVariant("a.wav"), COleVariant(0.0), COleVariant(1.0)}));
  EXPECT_FALSE(Audio(dispidAddAudioWithTran, "a.wav", 0, 1, 0));
  EXPECT_FALSE(Audio(dispidAddAudioSlow2, "a.wav", 0, 1, 0));
  EXPECT_TRUE(AddVideo("a.avi", 0, 1));
}

TEST_F(TimelineTest, OutputTypeForcesTheFrameOfDiscFormats) {
  Put(dispidOutputType, COleVariant(LONG(1)));
  Call(dispidInitControl);
  EXPECT_EQ(352, Get(dispidOutputFileWidth).iVal);
  EXPECT_EQ(240, Get(dispidOutputFileHeight).iVal);
  EXPECT_EQ(29.97003f, Get(dispidFrameRate).fltVal);
  Put(dispidOutputType, COleVariant(LONG(5)));
  Call(dispidInitControl);
  EXPECT_EQ(29.97f, Get(dispidFrameRate).fltVal);
  EXPECT_EQ(720, Get(dispidOutputFileWidth).iVal);

  Put(dispidOutputType, COleVariant(LONG(7)));
  Put(dispidOutputFileWidth, COleVariant(short(2000)));
  Put(dispidOutputFileHeight, COleVariant(short(40)));
  Call(dispidInitControl);
  EXPECT_EQ(1024, Get(dispidOutputFileWidth).iVal);
  EXPECT_EQ(60, Get(dispidOutputFileHeight).iVal);

  Put(dispidOutputType, COleVariant(LONG(8)));
  Put(dispidOutputFileWidth, COleVariant(short(2000)));
  Call(dispidInitControl);
  EXPECT_EQ(2000, Get(dispidOutputFileWidth).iVal);
}

TEST_F(TimelineTest, InitControlStartsAnEmptyTimeline) {
  ASSERT_TRUE(AddVideo("a.avi", 0, 10));
  Call(dispidInitControl);
  EXPECT_EQ(0.0, TotalDuration());
  ASSERT_TRUE(AddVideo("b.avi", 3, 5));  // the only clip again: from 0
  EXPECT_DOUBLE_EQ(2.0, TotalDuration());
}

}  // namespace
