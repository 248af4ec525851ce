#include "avi/AviFile.h"
#include "avi/KeyFrames.h"
#include "support/SampleMedia.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

namespace {
// Codecs users meet in AVI files, 100 frames with a key frame every 25 (the
// intra-only ones: every frame), as ffmpeg makes them.
struct Codec
{
    const char *name;
    QStringList video;
};
const Codec kCodecs[] = {
    {"mpeg4", {QStringLiteral("-c:v"), QStringLiteral("mpeg4"), QStringLiteral("-vtag"), QStringLiteral("XVID")}},
    {"divx3", {QStringLiteral("-c:v"), QStringLiteral("msmpeg4")}},
    {"mp42", {QStringLiteral("-c:v"), QStringLiteral("msmpeg4v2")}},
    {"h264", {QStringLiteral("-c:v"), QStringLiteral("libx264")}},
    {"mpeg2", {QStringLiteral("-c:v"), QStringLiteral("mpeg2video")}},
    {"cinepak", {QStringLiteral("-c:v"), QStringLiteral("cinepak")}},
    {"ffv1", {QStringLiteral("-c:v"), QStringLiteral("ffv1")}},
    {"vp8", {QStringLiteral("-c:v"), QStringLiteral("libvpx")}},
    {"vp9", {QStringLiteral("-c:v"), QStringLiteral("libvpx-vp9"), QStringLiteral("-deadline"), QStringLiteral("realtime")}},
    {"mjpeg", {QStringLiteral("-c:v"), QStringLiteral("mjpeg")}},
    {"huffyuv", {QStringLiteral("-c:v"), QStringLiteral("huffyuv")}},
};

QString clipOf(const TestEnvironment &env, const Codec &codec)
{
    return SampleMedia::makeWith(env.root(), QString::fromLatin1(codec.name) + QStringLiteral(".avi"),
                                 SampleMedia::picture(QStringLiteral("176x144")) + codec.video
                                     + QStringList{QStringLiteral("-g"), QStringLiteral("25"), QStringLiteral("-t"), QStringLiteral("4")});
}

QString flagsOf(const Avi::File &f)
{
    QString flags;
    for (const Avi::Chunk &c : f.chunks)
        if (c.stream() == 0)
            flags += c.key ? u'K' : u'-';
    return flags;
}

QByteArray withoutIndex(QByteArray bytes)
{
    bytes.replace(bytes.lastIndexOf("idx1"), 4, "JUNK");
    return bytes;
}
} // namespace

// Walked without an index, each frame says whether it is a key frame, as ffprobe reads the muxer's flags.
TEST(KeyFrames, EachCodecsFramesTellTheirKeyFrames)
{
    TestEnvironment env;
    for (const Codec &codec : kCodecs) {
        const QString clip = clipOf(env, codec);
        const QString expected = SampleMedia::keyFlags(clip);
        ASSERT_EQ(expected.size(), 100) << codec.name;
        const Avi::File walked = Avi::read(*Avi::inMemory(withoutIndex(readAll(clip))));
        ASSERT_EQ(walked.index, Avi::IndexSource::Walk) << codec.name;
        EXPECT_EQ(flagsOf(walked), expected) << codec.name;
        EXPECT_EQ(walked.counts[0].keys, expected.count(u'K')) << codec.name;
        EXPECT_EQ(walked.counts[0].unknownKeys, 0) << codec.name;
        EXPECT_EQ(Avi::read(clip, Avi::Detail::Counts, Avi::Index::Ignored).counts[0].keys, expected.count(u'K')) << codec.name;
    }
}

// A codec whose frames do not say keeps the flags of the file's own index entries
// when it is walked; with no index, its flags are unknown rather than invented.
TEST(KeyFrames, AnUnknownCodecKeepsItsIndexFlagsOrSaysNothingIsKnown)
{
    TestEnvironment env;
    QByteArray bytes = readAll(clipOf(env, kCodecs[0]));
    const QString expected = SampleMedia::keyFlags(clipOf(env, kCodecs[0]));
    // BITMAPINFOHEADER's compression follows strf's header and two sizes.
    const qsizetype strf = bytes.indexOf("strf");
    bytes.replace(strf + 8 + 16, 4, "ABCD");
    ASSERT_EQ(Avi::KeyFrames::ruleFor(Riff::fourcc("ABCD")), Avi::KeyFrames::Rule::Unknown);
    const Avi::File indexed = Avi::read(*Avi::inMemory(bytes), Avi::Detail::Chunks, Avi::Index::Ignored);
    EXPECT_EQ(flagsOf(indexed), expected);
    EXPECT_EQ(indexed.counts[0].unknownKeys, 0);
    const Avi::File bare = Avi::read(*Avi::inMemory(withoutIndex(bytes)));
    EXPECT_EQ(bare.counts[0].unknownKeys, 100);
    EXPECT_EQ(bare.counts[0].keys, 100);
}

TEST(KeyFrames, FramesTooShortOrEmptyAreNoKeyFramesAndTagsAreCaseBlind)
{
    using Avi::KeyFrames::isKey;
    const quint32 xvid = Riff::fourcc("xvid"), cvid = Riff::fourcc("cvid"), vp9 = Riff::fourcc("VP90");
    EXPECT_EQ(isKey(xvid, "", 0, 0), false);
    EXPECT_EQ(isKey(xvid, "\x7f", 1, 1), false); // a packed stream's placeholder
    EXPECT_EQ(isKey(xvid, "\0\0\x01\xb6\x40", 5, 5), false);
    EXPECT_EQ(isKey(xvid, "\0\0\x01\xb6\x00", 5, 5), true);
    EXPECT_EQ(isKey(cvid, "\0\0\0\0\0\0\0\0\0\0", 10, 10), false); // no strips: the picture before again
    EXPECT_EQ(isKey(cvid, "\0\0", 2, 2), std::nullopt);
    EXPECT_EQ(isKey(vp9, "\x08", 2, 2), std::nullopt); // no frame marker: not VP9 at all
    EXPECT_EQ(isKey(Riff::fourcc("MJPG"), "x", 1, 1), true);
}
