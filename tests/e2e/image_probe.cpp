// Small image measurements for the end-to-end tests, on PNG screenshots:
//   image_probe stats A.png          -> "<distinct colours> <mean luminance> <luminance stddev>"
//   image_probe diff A.png B.png [TOP BOTTOM]
//                                    -> mean absolute difference per channel (0..255), of the
//                                       whole picture or of the rows from TOP to BOTTOM percent
//   image_probe shift A.png B.png [TOP BOTTOM]
//                                    -> horizontal shift (pixels) of B's band of rows relative to
//                                       A's: the centre band (40 to 60 % of the height) or TOP to
//                                       BOTTOM percent
//   image_probe mean A.png X Y W H   -> mean "<red> <green> <blue>" of a rectangle (0..255)
//   image_probe rim A.png B.png      -> how far (pixels) the ground disc's rims moved from A to B
//   image_probe grab WINDOW OUT.png  -> writes the X window's picture (on $DISPLAY) as a PNG
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace {

struct Image {
  int width = 0;
  int height = 0;
  std::vector<unsigned char> rgb;  // top row first
  float lum(int x, int y) const {
    const unsigned char* p = &rgb[3 * (static_cast<size_t>(y) * width + x)];
    return 0.299f * p[0] + 0.587f * p[1] + 0.114f * p[2];
  }
};

bool load(const char* path, Image& image) {
  png_image png;
  std::memset(&png, 0, sizeof png);
  png.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&png, path)) {
    std::fprintf(stderr, "%s: %s\n", path, png.message);
    return false;
  }
  png.format = PNG_FORMAT_RGB;
  image.width = static_cast<int>(png.width);
  image.height = static_cast<int>(png.height);
  image.rgb.resize(PNG_IMAGE_SIZE(png));
  if (!png_image_finish_read(&png, nullptr, image.rgb.data(), 0, nullptr)) {
    std::fprintf(stderr, "%s: %s\n", path, png.message);
    return false;
  }
  return true;
}

int stats(const Image& a) {
  std::set<unsigned> colours;
  double sum = 0.0, sumSq = 0.0;
  const size_t n = static_cast<size_t>(a.width) * a.height;
  for (size_t i = 0; i < n; ++i) {
    const unsigned char* p = &a.rgb[3 * i];
    colours.insert((p[0] << 16) | (p[1] << 8) | p[2]);
    const double l = 0.299 * p[0] + 0.587 * p[1] + 0.114 * p[2];
    sum += l;
    sumSq += l * l;
  }
  const double mean = sum / n;
  std::printf("%zu %.2f %.2f\n", colours.size(), mean, std::sqrt(sumSq / n - mean * mean));
  return 0;
}

int diff(const Image& a, const Image& b, int topPercent, int bottomPercent) {
  if (a.width != b.width || a.height != b.height) {
    std::fprintf(stderr, "sizes differ\n");
    return 2;
  }
  const size_t row = 3 * static_cast<size_t>(a.width);
  const size_t begin = row * (a.height * topPercent / 100);
  const size_t end = std::max(begin + row, row * (a.height * bottomPercent / 100));
  double total = 0.0;
  for (size_t i = begin; i < end; ++i) total += std::abs(int(a.rgb[i]) - int(b.rgb[i]));
  std::printf("%.3f\n", total / (end - begin));
  return 0;
}

// The shift dx that best maps A's band onto B's (B(x + dx) ~ A(x)); negative
// means the picture moved to the left.
int shift(const Image& a, const Image& b, int topPercent, int bottomPercent) {
  if (a.width != b.width || a.height != b.height) {
    std::fprintf(stderr, "sizes differ\n");
    return 2;
  }
  const int y0 = a.height * topPercent / 100, y1 = a.height * bottomPercent / 100;
  const int maxShift = a.width / 4;
  const int x0 = maxShift, x1 = a.width - maxShift;
  int best = 0;
  double bestError = 1e30;
  for (int dx = -maxShift; dx <= maxShift; ++dx) {
    double error = 0.0;
    for (int y = y0; y < y1; y += 2) {
      for (int x = x0; x < x1; x += 2) error += std::fabs(a.lum(x, y) - b.lum(x + dx, y));
    }
    if (error < bestError) {
      bestError = error;
      best = dx;
    }
  }
  std::printf("%d\n", best);
  return 0;
}

int mean(const Image& a, int x0, int y0, int w, int h) {
  if (x0 < 0 || y0 < 0 || w <= 0 || h <= 0 || x0 + w > a.width || y0 + h > a.height) {
    std::fprintf(stderr, "rectangle outside the image\n");
    return 2;
  }
  double sum[3] = {0.0, 0.0, 0.0};
  for (int y = y0; y < y0 + h; ++y) {
    for (int x = x0; x < x0 + w; ++x) {
      const unsigned char* p = &a.rgb[3 * (static_cast<size_t>(y) * a.width + x)];
      for (int c = 0; c < 3; ++c) sum[c] += p[c];
    }
  }
  const double n = static_cast<double>(w) * h;
  std::printf("%.1f %.1f %.1f\n", sum[0] / n, sum[1] / n, sum[2] / n);
  return 0;
}

// How far the ground disc's two rims moved from A to B, added: the least of
// that over the rows from 40 to 60 % of the height (above a phone's touch
// controls), so that a tree leaning out over a rim on some rows does not
// count. The disc stands out from the dark sky; trees are green too, but
// stand on it.
int rim(const Image& a, const Image& b) {
  if (a.width != b.width || a.height != b.height) {
    std::fprintf(stderr, "sizes differ\n");
    return 2;
  }
  const auto rims = [](const Image& image, int y) {
    const auto grass = [&](int x) {
      const unsigned char* p = &image.rgb[3 * (static_cast<size_t>(y) * image.width + x)];
      return p[1] > 90 && p[1] > p[0] + 40 && p[1] > p[2] + 40;
    };
    int left = 0;
    while (left < image.width && !grass(left)) ++left;
    int right = image.width - 1;
    while (right > left && !grass(right)) --right;
    return std::make_pair(left, right);
  };
  int least = a.width;
  for (int percent = 40; percent <= 60; percent += 5) {
    const int y = a.height * percent / 100;
    const auto [al, ar] = rims(a, y);
    const auto [bl, br] = rims(b, y);
    least = std::min(least, std::abs(bl - al) + std::abs(br - ar));
  }
  std::printf("%d\n", least);
  return 0;
}

// Reads the window straight from the X server: a fraction of ImageMagick's
// time, so the checks can watch a running game closely.
int grab(const char* windowId, const char* path) {
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) {
    std::fprintf(stderr, "no display\n");
    return 2;
  }
  const Window window = static_cast<Window>(std::strtoul(windowId, nullptr, 0));
  XWindowAttributes attributes;
  XImage* image = nullptr;
  if (XGetWindowAttributes(display, window, &attributes)) {
    image = XGetImage(display, window, 0, 0, static_cast<unsigned>(attributes.width),
                      static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
  }
  XCloseDisplay(display);
  // The test servers' 24-bit TrueColor layout: B, G, R and a spare byte.
  if (image == nullptr || image->bits_per_pixel != 32 || image->byte_order != LSBFirst ||
      image->red_mask != 0xff0000 || image->green_mask != 0xff00 || image->blue_mask != 0xff) {
    std::fprintf(stderr, "cannot read window %s as 24-bit colour\n", windowId);
    if (image != nullptr) XDestroyImage(image);
    return 2;
  }
  Image picture;
  picture.width = image->width;
  picture.height = image->height;
  picture.rgb.resize(3 * static_cast<size_t>(picture.width) * picture.height);
  unsigned char* out = picture.rgb.data();
  for (int y = 0; y < image->height; ++y) {
    const auto* row = reinterpret_cast<const unsigned char*>(image->data) +
                      static_cast<size_t>(y) * image->bytes_per_line;
    for (int x = 0; x < image->width; ++x) {
      *out++ = row[4 * x + 2];
      *out++ = row[4 * x + 1];
      *out++ = row[4 * x];
    }
  }
  XDestroyImage(image);
  png_image png;
  std::memset(&png, 0, sizeof png);
  png.version = PNG_IMAGE_VERSION;
  png.width = static_cast<png_uint_32>(picture.width);
  png.height = static_cast<png_uint_32>(picture.height);
  png.format = PNG_FORMAT_RGB;
  png.flags = PNG_IMAGE_FLAG_FAST;
  if (!png_image_write_to_file(&png, path, 0, picture.rgb.data(), 0, nullptr)) {
    std::fprintf(stderr, "%s: %s\n", path, png.message);
    return 2;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(
        stderr,
        "usage: image_probe stats|diff|shift|mean|rim A.png [B.png [TOP BOTTOM] | X Y W H]\n"
        "       image_probe grab WINDOW OUT.png\n");
    return 2;
  }
  const std::string command = argv[1];
  if (command == "grab") return argc == 4 ? grab(argv[2], argv[3]) : 2;
  Image a, b;
  if (!load(argv[2], a)) return 2;
  if (command == "stats") return stats(a);
  if (command == "mean") {
    if (argc < 7) return 2;
    return mean(a, std::atoi(argv[3]), std::atoi(argv[4]), std::atoi(argv[5]), std::atoi(argv[6]));
  }
  if (argc < 4 || !load(argv[3], b)) return 2;
  if (command == "diff") {
    return argc >= 6 ? diff(a, b, std::atoi(argv[4]), std::atoi(argv[5])) : diff(a, b, 0, 100);
  }
  if (command == "rim") return rim(a, b);
  if (command == "shift") {
    return argc >= 6 ? shift(a, b, std::atoi(argv[4]), std::atoi(argv[5])) : shift(a, b, 40, 60);
  }
  return 2;
}
