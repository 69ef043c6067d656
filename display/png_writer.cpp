#include "png_writer.h"

#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <functional>
#include <future>
#include <stdexcept>
#include <system_error>
#include <thread>
#include <vector>

#include "png_filters.h"

namespace {

constexpr std::array<unsigned char, 8> kSignature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
constexpr std::size_t kIdatBytes = 1 << 20;  // compressed bytes per IDAT chunk
// The zlib level by size. Up to kSmallImagePixels any level is quick: compress as hard as common
// encoders do. Up to kMediumImagePixels level 4, the first with lazy matching: on a smooth map
// about half the size of the fastest level's at about its speed (level 6 costs a sixth more of a
// whole run). Larger images take the fastest level. Run-length matching ignores the level.
constexpr std::int64_t kSmallImagePixels = 1 << 16;
constexpr std::int64_t kMediumImagePixels = 1 << 20;
// The sample that chooses the filters and the matcher: up to kSampleBands bands of rows spread
// over the image, about 1/kSampleShare of its pixels (at least kMinSamplePixels, at most
// kMaxSamplePixels), since every way is tried on it.
constexpr int kSampleBands = 16;
constexpr std::int64_t kSampleShare = 32;
constexpr std::int64_t kMinSamplePixels = 8 << 10;
constexpr std::int64_t kMaxSamplePixels = 256 << 10;
// The fastest way is kept while its sample is at most this much larger than the smallest.
constexpr double kFastAllowance = 1.05;
// Above this many pixels the rows are compressed in two halves on two cores: each half then
// takes over a millisecond, far more than starting the thread.
constexpr std::int64_t kSplitPixels = 256 << 10;

[[noreturn]] void Fail(const std::string& cause) {
  throw std::runtime_error(cause);
}

void WriteAll(int fd, const unsigned char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) Fail(std::strerror(n < 0 ? errno : EIO));
    data += n;
    size -= static_cast<std::size_t>(n);
  }
}

void PutBigEndian(unsigned char* at, std::uint32_t value) {
  at[0] = static_cast<unsigned char>(value >> 24);
  at[1] = static_cast<unsigned char>(value >> 16);
  at[2] = static_cast<unsigned char>(value >> 8);
  at[3] = static_cast<unsigned char>(value);
}

// Writes a chunk whose data lies at buffer[8..8+size); the buffer has room for the CRC after it.
void WriteChunk(int fd, const char (&type)[5], std::vector<unsigned char>& buffer,
                std::size_t size) {
  PutBigEndian(buffer.data(), static_cast<std::uint32_t>(size));
  std::memcpy(buffer.data() + 4, type, 4);
  const auto crc = crc32(0, buffer.data() + 4, static_cast<uInt>(size + 4));
  PutBigEndian(buffer.data() + 8 + size, static_cast<std::uint32_t>(crc));
  WriteAll(fd, buffer.data(), size + 12);
}

// The zlib stream of the image, cut into IDAT chunks of kIdatBytes, each written with one call.
// Without a descriptor nothing is written: the bytes are only counted.
class IdatChunks {
 public:
  explicit IdatChunks(int fd) : fd_(fd) {
    if (fd_ >= 0) buffer_.resize(12 + kIdatBytes);
  }

  void Append(const unsigned char* data, std::size_t size) {
    written_ += size;
    if (fd_ < 0) return;
    while (size > 0) {
      const std::size_t n = std::min(size, kIdatBytes - filled_);
      std::memcpy(buffer_.data() + 8 + filled_, data, n);
      filled_ += n;
      data += n;
      size -= n;
      if (filled_ == kIdatBytes) Flush();
    }
  }
  void Flush() {
    if (fd_ >= 0 && filled_ > 0) WriteChunk(fd_, "IDAT", buffer_, filled_);
    filled_ = 0;
  }
  std::uint64_t Written() const { return written_; }

 private:
  int fd_;
  std::vector<unsigned char> buffer_;  // length, type, data, CRC
  std::size_t filled_ = 0;
  std::uint64_t written_ = 0;
};

struct Layout {
  PngPixels pixels;
  std::size_t bytesPerPixel = 1;
  std::size_t rowBytes = 0;

  const unsigned char* Row(int y) const { return pixels.bits + std::ptrdiff_t{y} * pixels.stride; }
};

Layout LayoutOf(const PngPixels& pixels) {
  if (pixels.bits == nullptr || pixels.width <= 0 || pixels.height <= 0) {
    Fail("there is no image to write");
  }
  const std::size_t bytesPerPixel = pixels.colour == PngColour::Grey  ? 1
                                    : pixels.colour == PngColour::Rgb ? 3
                                                                      : 4;
  return {pixels, bytesPerPixel, bytesPerPixel * static_cast<std::size_t>(pixels.width)};
}

// How the rows are filtered and matched.
struct Method {
  PngFilterRule rule = PngFilterRule::NoneOrRepeat;
  int strategy = Z_RLE;
};

// Compresses filtered rows as raw deflate data, to be framed by the zlib header and the Adler-32
// of all parts: the rows of a large image are compressed in parts on two cores.
class RowDeflater {
 public:
  using Sink = std::function<void(const unsigned char*, std::size_t)>;

  RowDeflater(const Layout& layout, int level, Method method, Sink sink)
      : layout_(layout),
        rule_(method.rule),
        sink_(std::move(sink)),
        scratch_(2 * layout.rowBytes + 1),
        output_(kOutputBytes) {
    if (deflateInit2(&stream_, level, Z_DEFLATED, -15, 9, method.strategy) != Z_OK) {
      Fail("the compressor cannot start");
    }
  }
  ~RowDeflater() { deflateEnd(&stream_); }
  RowDeflater(const RowDeflater&) = delete;
  RowDeflater& operator=(const RowDeflater&) = delete;

  // Rows first..end-1, filtered against the row above first (none above row 0). Returns early
  // when stop becomes true.
  void AddRows(int first, int end, const std::atomic<bool>* stop = nullptr) {
    for (int y = first; y < end; ++y) {
      if (stop != nullptr && stop->load(std::memory_order_relaxed)) return;
      const std::span row(layout_.Row(y), layout_.rowBytes);
      const std::span<const unsigned char> previous =
          y == 0 ? std::span<const unsigned char>()
                 : std::span(layout_.Row(y - 1), layout_.rowBytes);
      const PngRowParts parts = FilterPngRow(rule_, layout_.bytesPerPixel, row, previous, scratch_);
      Add(parts.first);
      Add(parts.second);
    }
  }
  // Ends the data: as the last part (final block), or byte-aligned for a part to follow.
  void Finish(bool last) { Run(last ? Z_FINISH : Z_SYNC_FLUSH); }
  std::uint32_t Adler() const { return adler_; }
  std::uint64_t Length() const { return length_; }

 private:
  static constexpr std::size_t kOutputBytes = 256 << 10;

  void Add(std::span<const unsigned char> bytes) {
    if (bytes.empty()) return;
    adler_ =
        static_cast<std::uint32_t>(adler32(adler_, bytes.data(), static_cast<uInt>(bytes.size())));
    length_ += bytes.size();
    stream_.next_in = const_cast<unsigned char*>(bytes.data());
    stream_.avail_in = static_cast<uInt>(bytes.size());
    Run(Z_NO_FLUSH);
  }
  // Runs deflate until it has taken all input and, for a flush, given all its output.
  void Run(int flush) {
    int result = Z_OK;
    do {
      stream_.next_out = output_.data();
      stream_.avail_out = static_cast<uInt>(output_.size());
      result = deflate(&stream_, flush);
      if (result == Z_STREAM_ERROR) Fail("the compressor failed");
      sink_(output_.data(), output_.size() - stream_.avail_out);
    } while (stream_.avail_out == 0 || (flush == Z_FINISH && result != Z_STREAM_END));
  }

  const Layout& layout_;
  PngFilterRule rule_;
  Sink sink_;
  std::vector<unsigned char> scratch_;
  std::vector<unsigned char> output_;
  z_stream stream_{};
  std::uint32_t adler_ = 1;
  std::uint64_t length_ = 0;
};

// The sample's bands: how many, and rows in each.
struct SampleBands {
  int count;
  int rows;
};

SampleBands SampleOf(const PngPixels& image) {
  const std::int64_t pixels = std::int64_t{image.width} * image.height;
  const std::int64_t budget =
      std::clamp(pixels / kSampleShare, std::min(pixels, kMinSamplePixels), kMaxSamplePixels);
  const std::int64_t rows = std::clamp<std::int64_t>(budget / image.width, 1, image.height);
  const auto count = static_cast<int>(std::min<std::int64_t>(kSampleBands, rows));
  return {count, static_cast<int>(rows / count)};
}

// Compresses a sample of the image every way and keeps the smallest; the fastest way (unfiltered
// rows, run-length matching) as long as it is nearly as small.
Method ChooseMethod(const Layout& layout, int level) {
  const int height = layout.pixels.height;
  const SampleBands bands = SampleOf(layout.pixels);
  const std::array<Method, 4> methods = {{{PngFilterRule::NoneOrRepeat, Z_RLE},
                                          {PngFilterRule::NoneOrRepeat, Z_DEFAULT_STRATEGY},
                                          {PngFilterRule::Adaptive, Z_RLE},
                                          {PngFilterRule::Adaptive, Z_DEFAULT_STRATEGY}}};
  std::array<std::uint64_t, 4> sizes{};
  for (std::size_t m = 0; m < methods.size(); ++m) {
    std::uint64_t& size = sizes[m];
    RowDeflater sample(layout, level, methods[m],
                       [&size](const unsigned char*, std::size_t n) { size += n; });
    if (bands.count * bands.rows >= height) {
      sample.AddRows(0, height);
    } else {
      for (int band = 0; band < bands.count; ++band) {
        const int first =
            bands.count == 1
                ? 0
                : static_cast<int>(std::int64_t{height - bands.rows} * band / (bands.count - 1));
        sample.AddRows(first, first + bands.rows);
      }
    }
    sample.Finish(true);
  }
  std::size_t best = 0;
  for (std::size_t m = 1; m < sizes.size(); ++m) {
    if (sizes[m] < sizes[best]) best = m;
  }
  const bool fastIsClose =
      static_cast<double>(sizes[0]) <= kFastAllowance * static_cast<double>(sizes[best]);
  return fastIsClose ? methods[0] : methods[best];
}

// The compressed part of rows first..end-1, made on another thread.
struct Part {
  std::vector<unsigned char> bytes;
  std::uint32_t adler = 1;
  std::uint64_t length = 0;
};

Part CompressPart(const Layout& layout, int level, Method method, int first, int end,
                  const std::atomic<bool>& stop) {
  Part part;
  RowDeflater deflater(layout, level, method, [&part](const unsigned char* data, std::size_t n) {
    part.bytes.insert(part.bytes.end(), data, data + n);
  });
  deflater.AddRows(first, end, &stop);
  deflater.Finish(true);
  part.adler = deflater.Adler();
  part.length = deflater.Length();
  return part;
}

void WriteImageData(const Layout& layout, int level, Method method, int fd) {
  const int height = layout.pixels.height;
  bool split = layout.pixels.width * std::int64_t{height} > kSplitPixels &&
               std::thread::hardware_concurrency() > 1;
  IdatChunks chunks(fd);
  // Deflate with a 32 KiB window; the level field (fastest) is only informative.
  const unsigned char zlibHeader[2] = {0x78, 0x01};
  chunks.Append(zlibHeader, sizeof zlibHeader);

  // The second half on another thread; the stop flag ends it early when the first half fails.
  // When no thread can start (a process limit), this thread compresses all rows.
  std::atomic<bool> stop = false;
  std::future<Part> second;
  if (split) {
    try {
      second = std::async(std::launch::async, CompressPart, std::cref(layout), level, method,
                          height / 2, height, std::cref(stop));
    } catch (const std::system_error&) {
      split = false;
    }
  }
  const int middle = split ? height / 2 : height;
  RowDeflater first(layout, level, method, [&chunks](const unsigned char* data, std::size_t n) {
    chunks.Append(data, n);
  });
  std::uint32_t adler = 1;
  try {
    first.AddRows(0, middle);
    first.Finish(!split);
    adler = first.Adler();
  } catch (...) {
    stop = true;
    throw;  // the future's destructor waits for the thread
  }
  if (split) {
    const Part part = second.get();
    chunks.Append(part.bytes.data(), part.bytes.size());
    adler = static_cast<std::uint32_t>(
        adler32_combine(adler, part.adler, static_cast<z_off_t>(part.length)));
  }
  unsigned char trailer[4];
  PutBigEndian(trailer, adler);
  chunks.Append(trailer, sizeof trailer);
  chunks.Flush();
}

}  // namespace

void WritePng(const PngPixels& pixels, int fd) {
  const Layout layout = LayoutOf(pixels);
  const std::int64_t count = std::int64_t{pixels.width} * pixels.height;
  const int level = count <= kSmallImagePixels ? 6 : count <= kMediumImagePixels ? 4 : 1;
  const Method method = ChooseMethod(layout, level);

  WriteAll(fd, kSignature.data(), kSignature.size());
  std::vector<unsigned char> header(12 + 13);
  PutBigEndian(header.data() + 8, static_cast<std::uint32_t>(pixels.width));
  PutBigEndian(header.data() + 12, static_cast<std::uint32_t>(pixels.height));
  header[16] = 8;  // bits per sample
  header[17] = static_cast<unsigned char>(pixels.colour);
  // compression 0, filter method 0 and no interlace follow as zeros
  WriteChunk(fd, "IHDR", header, 13);
  WriteImageData(layout, level, method, fd);
  std::vector<unsigned char> end(12);
  WriteChunk(fd, "IEND", end, 0);
}
