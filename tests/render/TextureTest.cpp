#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gl/GlApi.h"
#include "render/Texture.h"
#include "tests/render/ImageFiles.h"
#include "tests/support/GlTestContext.h"
#include "tests/support/TempDir.h"

namespace dravik {
namespace {

using test::BmpSpec;
using test::TempDir;

// A 4 x 2 image written as BMP under every name in the case table: only
// the last four characters of the name may pick the reader.
TEST(TextureLoadTest, ReaderChosenByTheLastFourCharacters) {
  TempDir dir;
  BmpSpec spec;
  spec.width = 4;
  spec.height = 2;
  const auto bmp = bmpFile(spec).data();
  test::PngSpec pngSpec;
  pngSpec.width = 4;
  pngSpec.height = 2;
  const std::string png = test::pngFile(pngSpec, std::vector<uint8_t>(32, 9));
  struct Case {
    const char* name;
    bool isPng;
    GLenum internalFormat, pixelFormat;
  };
  const Case cases[] = {
      {"wall.bmp", false, GL_RGB, GL_BGR},       {"road.png", true, GL_RGBA, GL_RGBA},
      {"font.bmp.fnt", false, GL_RGBA, GL_BGRA}, {"WALL.BMP", false, GL_RGBA, GL_BGRA},
      {"road.png.bak", false, GL_RGBA, GL_BGRA}, {"image.bmpx", false, GL_RGBA, GL_BGRA},
      {"x.bmp", false, GL_RGB, GL_BGR},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = c.isPng ? dir.write(c.name, png) : dir.write(c.name, bmp);
    Texture texture;
    testing::internal::CaptureStderr();
    texture.loadFromFile(path.c_str());
    EXPECT_EQ("", testing::internal::GetCapturedStderr());
    EXPECT_EQ(c.internalFormat, texture.internalFormat());
    EXPECT_EQ(c.pixelFormat, texture.pixelFormat());
    ASSERT_NE(nullptr, texture.pixels());
    EXPECT_EQ(4, texture.width());
    EXPECT_EQ(2, texture.height());
    if (c.pixelFormat == GL_BGRA) {
      // The alpha reader ran: alpha repeats red.
      EXPECT_EQ(texture.pixels()[2], texture.pixels()[3]);
      EXPECT_EQ(test::sampleByte(0, 0, 2), texture.pixels()[3]);
    } else if (c.pixelFormat == GL_BGR) {
      EXPECT_EQ(test::sampleByte(1, 0, 0), texture.pixels()[3]);  // plain triples
    } else {
      EXPECT_EQ(9, texture.pixels()[3]);
    }
  }
}

TEST(TextureLoadTest, ShortNamesAndFailedReadsLeaveNoPixels) {
  TempDir dir;
  BmpSpec spec;
  const std::string good = dir.write("good.bmp", bmpFile(spec).data());
  const std::string bad = dir.write("bad.bmp", std::string("BM and nothing else"));
  struct Case {
    std::string name;
    GLenum internalFormat, pixelFormat;
  };
  const Case cases[] = {
      {"", GL_RGBA, GL_BGRA},
      {"a", GL_RGBA, GL_BGRA},
      {"bmp", GL_RGBA, GL_BGRA},
      {bad, GL_RGB, GL_BGR},
      {dir.path() + "/missing.png", GL_RGBA, GL_RGBA},
      {dir.path() + "/missing.fnt", GL_RGBA, GL_BGRA},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Texture texture;
    texture.loadFromFile(good.c_str());
    ASSERT_NE(nullptr, texture.pixels());
    testing::internal::CaptureStderr();
    texture.loadFromFile(c.name.c_str());
    test::expectOneProblemLine(testing::internal::GetCapturedStderr(), c.name);
    EXPECT_EQ(nullptr, texture.pixels());
    EXPECT_EQ(0, texture.width());
    EXPECT_EQ(0, texture.height());
    EXPECT_EQ(c.internalFormat, texture.internalFormat());
    EXPECT_EQ(c.pixelFormat, texture.pixelFormat());
  }
}

TEST(TextureLoadTest, NeverLoadedTextureIsEmptyWithAlphaFormats) {
  const Texture texture;
  EXPECT_EQ(nullptr, texture.pixels());
  EXPECT_EQ(0u, texture.name());
  EXPECT_EQ(0, texture.width());
  EXPECT_EQ(GLenum{GL_RGBA}, texture.internalFormat());
  EXPECT_EQ(GLenum{GL_BGRA}, texture.pixelFormat());
}

TEST(TextureLoadTest, ReleasePixelsTwiceIsHarmless) {
  TempDir dir;
  const std::string path = dir.write("t.bmp", bmpFile(BmpSpec{}).data());
  Texture texture;
  texture.loadFromFile(path.c_str());
  ASSERT_NE(nullptr, texture.pixels());
  texture.releasePixels();
  EXPECT_EQ(nullptr, texture.pixels());
  texture.releasePixels();
  EXPECT_EQ(nullptr, texture.pixels());
  EXPECT_EQ(2, texture.width());  // the size stays known after the release
}

GLint texParameter(GLenum pname) {
  GLint value = -1;
  glGetTexParameteriv(GL_TEXTURE_2D, pname, &value);
  return value;
}

GLint levelParameter(GLenum pname) {
  GLint value = -1;
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, pname, &value);
  return value;
}

GLint boundTexture() {
  GLint value = -1;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &value);
  return value;
}

class TextureGlTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(test::ensureGlContext());
    test::resetGlState();
  }
  void TearDown() override { test::resetGlState(); }
  TempDir dir_;
};

TEST_F(TextureGlTest, UploadMakesTheTextureWithItsFormatsAndParameters) {
  struct Case {
    const char* name;
    GLint internalFormat;
    uint32_t width, height;
  };
  // Width 3 leaves padded BMP rows; width 5 in the alpha reader too.
  const Case cases[] = {
      {"wall.bmp", GL_RGB, 3, 2},
      {"font.bmp.fnt", GL_RGBA, 5, 3},
      {"road.png", GL_RGBA, 4, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string path;
    if (std::string(c.name).find(".png") != std::string::npos) {
      test::PngSpec spec;
      spec.width = c.width;
      spec.height = c.height;
      path =
          dir_.write(c.name, test::pngFile(spec, std::vector<uint8_t>(c.width * c.height * 4, 1)));
    } else {
      BmpSpec spec;
      spec.width = int32_t(c.width);
      spec.height = int32_t(c.height);
      path = dir_.write(c.name, bmpFile(spec).data());
    }
    Texture texture;
    texture.loadFromFile(path.c_str());
    texture.upload();
    ASSERT_NE(0u, texture.name());
    EXPECT_EQ(GLint(texture.name()), boundTexture());
    EXPECT_EQ(GL_LINEAR, texParameter(GL_TEXTURE_MAG_FILTER));
    EXPECT_EQ(GL_LINEAR, texParameter(GL_TEXTURE_MIN_FILTER));
    EXPECT_EQ(GL_MIRRORED_REPEAT, texParameter(GL_TEXTURE_WRAP_S));
    EXPECT_EQ(GL_MIRRORED_REPEAT, texParameter(GL_TEXTURE_WRAP_T));
    EXPECT_EQ(c.internalFormat, levelParameter(GL_TEXTURE_INTERNAL_FORMAT));
    EXPECT_EQ(GLint(c.width), levelParameter(GL_TEXTURE_WIDTH));
    EXPECT_EQ(GLint(c.height), levelParameter(GL_TEXTURE_HEIGHT));
    EXPECT_EQ(GL_NO_ERROR, glGetError());
    texture.releasePixels();
    texture.deleteTexture();
    EXPECT_EQ(0u, texture.name());
  }
}

TEST_F(TextureGlTest, UploadWithoutPixelsMakesAnEmptyTexture) {
  Texture texture;
  testing::internal::CaptureStderr();
  texture.loadFromFile((dir_.path() + "/absent.bmp").c_str());
  testing::internal::GetCapturedStderr();
  texture.upload();
  ASSERT_NE(0u, texture.name());
  EXPECT_EQ(GL_NO_ERROR, glGetError());
  EXPECT_EQ(0, levelParameter(GL_TEXTURE_WIDTH));
  EXPECT_EQ(0, levelParameter(GL_TEXTURE_HEIGHT));
  EXPECT_EQ(GL_LINEAR, texParameter(GL_TEXTURE_MIN_FILTER));
  texture.deleteTexture();
}

TEST_F(TextureGlTest, FilterAndWrapSettings) {
  Texture texture;
  testing::internal::CaptureStderr();
  texture.loadFromFile("x.bmp.none");
  testing::internal::GetCapturedStderr();
  texture.upload();
  Texture other;
  other.upload();
  ASSERT_NE(texture.name(), other.name());

  texture.setLinearFilter(false);
  EXPECT_EQ(GLint(texture.name()), boundTexture());
  EXPECT_EQ(GL_NEAREST, texParameter(GL_TEXTURE_MAG_FILTER));
  EXPECT_EQ(GL_NEAREST, texParameter(GL_TEXTURE_MIN_FILTER));
  texture.setLinearFilter(true);
  EXPECT_EQ(GL_LINEAR, texParameter(GL_TEXTURE_MAG_FILTER));
  EXPECT_EQ(GL_LINEAR, texParameter(GL_TEXTURE_MIN_FILTER));

  const struct {
    int mode;
    GLint wrap;
  } modes[] = {{kWrapRepeat, GL_REPEAT},
               {kWrapClampToEdge, GL_CLAMP_TO_EDGE},
               {kWrapClampToBorder, GL_CLAMP_TO_BORDER},
               {kWrapMirroredRepeat, GL_MIRRORED_REPEAT},
               {kWrapRepeat, GL_REPEAT}};
  for (const auto& m : modes) {
    other.bind();
    texture.setWrap(m.mode);
    EXPECT_EQ(GLint(texture.name()), boundTexture()) << m.mode;
    EXPECT_EQ(m.wrap, texParameter(GL_TEXTURE_WRAP_S)) << m.mode;
    EXPECT_EQ(m.wrap, texParameter(GL_TEXTURE_WRAP_T)) << m.mode;
  }
  // An unknown mode binds and changes nothing.
  for (int mode : {7, -1, 4}) {
    other.bind();
    texture.setWrap(mode);
    EXPECT_EQ(GLint(texture.name()), boundTexture());
    EXPECT_EQ(GL_REPEAT, texParameter(GL_TEXTURE_WRAP_S));
    EXPECT_EQ(GL_REPEAT, texParameter(GL_TEXTURE_WRAP_T));
  }
  // The other texture kept its own settings throughout.
  other.bind();
  EXPECT_EQ(GL_MIRRORED_REPEAT, texParameter(GL_TEXTURE_WRAP_S));
  EXPECT_EQ(GL_LINEAR, texParameter(GL_TEXTURE_MAG_FILTER));
  EXPECT_EQ(GL_NO_ERROR, glGetError());
  texture.deleteTexture();
  other.deleteTexture();
}

TEST_F(TextureGlTest, DeleteTextureFreesTheNameAndSkipsGlWithoutAContext) {
  Texture texture;
  texture.upload();
  const GLuint name = texture.name();
  ASSERT_NE(0u, name);
  texture.deleteTexture();
  EXPECT_EQ(0u, texture.name());
  // The deleted name no longer names a texture: binding it makes a fresh,
  // default one with no image.
  glBindTexture(GL_TEXTURE_2D, name);
  EXPECT_EQ(GL_REPEAT, texParameter(GL_TEXTURE_WRAP_S));
  glBindTexture(GL_TEXTURE_2D, 0);
  glDeleteTextures(1, &name);

  // A never-uploaded texture and a second delete are harmless.
  Texture never;
  never.deleteTexture();
  texture.deleteTexture();
  EXPECT_EQ(GL_NO_ERROR, glGetError());

  // With the context marked gone, the name is dropped without a GL call:
  // the GL texture still exists afterwards.
  Texture kept;
  kept.upload();
  const GLuint keptName = kept.name();
  glentry::setContextAvailable(false);
  kept.deleteTexture();
  glentry::setContextAvailable(true);
  EXPECT_EQ(0u, kept.name());
  glBindTexture(GL_TEXTURE_2D, keptName);
  EXPECT_EQ(GL_MIRRORED_REPEAT, texParameter(GL_TEXTURE_WRAP_S));
  glBindTexture(GL_TEXTURE_2D, 0);
  glDeleteTextures(1, &keptName);
}

}  // namespace
}  // namespace dravik
