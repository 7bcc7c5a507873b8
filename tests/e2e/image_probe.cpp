// Small image measurements for the end-to-end tests, on PNG screenshots:
//   image_probe stats A.png          -> "<distinct colours> <mean luminance> <luminance stddev>"
//   image_probe diff A.png B.png     -> mean absolute difference per channel (0..255)
//   image_probe shift A.png B.png [TOP BOTTOM]
//                                    -> horizontal shift (pixels) of B's band of rows relative to
//                                       A's: the centre band (40 to 60 % of the height) or TOP to
//                                       BOTTOM percent
//   image_probe mean A.png X Y W H   -> mean "<red> <green> <blue>" of a rectangle (0..255)
#include <png.h>

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

int diff(const Image& a, const Image& b) {
  if (a.width != b.width || a.height != b.height) {
    std::fprintf(stderr, "sizes differ\n");
    return 2;
  }
  double total = 0.0;
  for (size_t i = 0; i < a.rgb.size(); ++i) total += std::abs(int(a.rgb[i]) - int(b.rgb[i]));
  std::printf("%.3f\n", total / a.rgb.size());
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

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr,
                 "usage: image_probe stats|diff|shift|mean A.png [B.png [TOP BOTTOM] | X Y W H]\n");
    return 2;
  }
  const std::string command = argv[1];
  Image a, b;
  if (!load(argv[2], a)) return 2;
  if (command == "stats") return stats(a);
  if (command == "mean") {
    if (argc < 7) return 2;
    return mean(a, std::atoi(argv[3]), std::atoi(argv[4]), std::atoi(argv[5]), std::atoi(argv[6]));
  }
  if (argc < 4 || !load(argv[3], b)) return 2;
  if (command == "diff") return diff(a, b);
  if (command == "shift") {
    return argc >= 6 ? shift(a, b, std::atoi(argv[4]), std::atoi(argv[5])) : shift(a, b, 40, 60);
  }
  return 2;
}
