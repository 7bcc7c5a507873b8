#include "mesh/JsonFile.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <string_view>

#include "render/FileProblem.h"

namespace dravik {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Whether an integer literal's digits (after its sign) lie beyond both
// int64 and uint64.
bool beyond64Bits(std::string_view digits, bool negative) {
  const std::string_view limit = negative ? "9223372036854775808" : "18446744073709551615";
  if (digits.size() != limit.size()) return digits.size() > limit.size();
  return digits > limit;
}

// simdjson refuses integer literals beyond 64 bits, which JSON allows and
// which the game has always read as floats. Copies text with ".0" after each
// such literal, so that it parses as the float it stands for; returns false
// when there is none.
bool widenLongIntegers(std::string_view text, std::string& out) {
  bool widened = false;
  out.clear();
  out.reserve(text.size() + 64);
  std::size_t i = 0;
  while (i < text.size()) {
    std::size_t end = i + 1;
    if (text[i] == '"') {
      while (end < text.size() && text[end] != '"') end += text[end] == '\\' ? 2 : 1;
      end = std::min(end + 1, text.size());
    } else if (text[i] == '-' || isDigit(text[i])) {
      const bool negative = text[i] == '-';
      const std::size_t digitsStart = negative ? i + 1 : i;
      end = digitsStart;
      while (end < text.size() && isDigit(text[end])) ++end;
      const std::string_view digits = text.substr(digitsStart, end - digitsStart);
      const bool integer = end == text.size() || std::strchr(".eE", text[end]) == nullptr;
      if (integer && beyond64Bits(digits, negative)) {
        out.append(text.substr(i, end - i)).append(".0");
        widened = true;
        i = end;
        continue;
      }
      // A fraction or an exponent is copied with its number.
      while (end < text.size() && (isDigit(text[end]) || std::strchr(".eE+-", text[end]))) ++end;
    }
    out.append(text.substr(i, end - i));
    i = end;
  }
  return widened;
}

simdjson::error_code parseText(simdjson::dom::parser& parser, std::string_view text,
                               simdjson::dom::element& root) {
  // A UTF-8 byte order mark before the text is allowed, as it always was.
  constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
  if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
    text.remove_prefix(kByteOrderMark.size());
  }
  // The text lies in a padded buffer, so simdjson may read past its end.
  return parser.parse(text.data(), text.size(), false).get(root);
}

// A file's text with the zeroed padding simdjson may read past its end, in
// storage that keeps its size from one file to the next.
class TextBuffer {
 public:
  // Room for bytes of text, the earlier text gone; nullptr when memory runs
  // out.
  char* prepare(std::size_t bytes) {
    if (bytes_ == nullptr || bytes > capacity_) {
      release();
      bytes_.reset(new (std::nothrow) char[bytes + simdjson::SIMDJSON_PADDING]);
      if (bytes_ == nullptr) return nullptr;
      capacity_ = bytes;
    }
    std::memset(bytes_.get() + bytes, 0, simdjson::SIMDJSON_PADDING);
    return bytes_.get();
  }
  std::size_t capacity() const { return capacity_; }
  void release() {
    bytes_.reset();
    capacity_ = 0;
  }

 private:
  std::unique_ptr<char[]> bytes_;
  std::size_t capacity_ = 0;
};

}  // namespace

struct JsonFile::Scratch {
  simdjson::dom::parser parser;
  TextBuffer text;
  bool inUse = false;
};

// The game loads on one thread; a loader on another keeps its own.
JsonFile::Scratch& JsonFile::sharedScratch() {
  thread_local Scratch shared;
  return shared;
}

JsonFile::JsonFile() {
  Scratch& shared = sharedScratch();
  if (shared.inUse) {
    ownScratch_ = std::make_unique<Scratch>();
    scratch_ = ownScratch_.get();
  } else {
    shared.inUse = true;
    scratch_ = &shared;
  }
}

JsonFile::~JsonFile() {
  if (ownScratch_ != nullptr) return;
  if (scratch_->parser.capacity() > kKeptCapacity) scratch_->parser = simdjson::dom::parser();
  if (scratch_->text.capacity() > kKeptCapacity) scratch_->text.release();
  scratch_->inUse = false;
}

std::size_t JsonFile::keptBytes() {
  const Scratch& shared = sharedScratch();
  return shared.parser.capacity() + shared.text.capacity();
}

bool JsonFile::open(const std::string& path) {
  InputFile file;
  if (!file.open(path)) return false;
  char* bytes = scratch_->text.prepare(file.length());
  if (bytes == nullptr) {
    reportFileProblem(path, "not enough memory to read the file");
    return false;
  }
  if (!file.read(bytes, file.length())) return false;
  std::string_view text(bytes, file.length());

  simdjson::error_code error = parseText(scratch_->parser, text, root_);
  if (error == simdjson::NUMBER_ERROR) {
    std::string widened;
    if (widenLongIntegers(text, widened)) {
      bytes = scratch_->text.prepare(widened.size());
      if (bytes == nullptr) {
        reportFileProblem(path, "not enough memory to read the file");
        return false;
      }
      std::memcpy(bytes, widened.data(), widened.size());
      error = parseText(scratch_->parser, std::string_view(bytes, widened.size()), root_);
    }
  }
  switch (error) {
    case simdjson::SUCCESS:
      return true;
    case simdjson::DEPTH_ERROR:
      reportFileProblem(
          path, "nested more than " + std::to_string(simdjson::DEFAULT_MAX_DEPTH) + " levels deep");
      return false;
    case simdjson::MEMALLOC:
      reportFileProblem(path, "not enough memory to parse the file");
      return false;
    default:
      reportFileProblem(path, "not valid JSON");
      return false;
  }
}

}  // namespace dravik
