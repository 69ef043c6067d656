#include "png_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <vector>

#include "png_filters.h"

namespace {

constexpr std::array<unsigned char, 8> kSignature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
constexpr std::size_t kIdatBytes = 1 << 20;  // compressed bytes per IDAT chunk
// Up to this many pixels any level is quick: compress as hard as common encoders do.
constexpr qint64 kSmallImagePixels = 1 << 20;
// The sample that chooses the filters and the matcher: bands of rows spread over the image.
constexpr int kSampleBands = 16;
constexpr int kSampleBandRows = 64;
// The fastest way is kept while its sample is at most this much larger than the smallest.
constexpr double kFastAllowance = 1.05;

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

// Chunks are assembled in one buffer (length, type, data, CRC) and written with one call each.
// Without a descriptor nothing is written: the bytes are only counted.
class ChunkWriter {
 public:
  explicit ChunkWriter(int fd) : fd_(fd), buffer_(12 + kIdatBytes) {}

  // Where the data of the next chunk goes; at most kIdatBytes.
  unsigned char* Data() { return buffer_.data() + 8; }
  std::uint64_t Written() const { return written_; }

  void Write(const char (&type)[5], std::size_t size) {
    written_ += size + 12;
    if (fd_ < 0) return;
    PutBigEndian(buffer_.data(), static_cast<std::uint32_t>(size));
    std::memcpy(buffer_.data() + 4, type, 4);
    const auto crc = crc32(0, buffer_.data() + 4, static_cast<uInt>(size + 4));
    PutBigEndian(buffer_.data() + 8 + size, static_cast<std::uint32_t>(crc));
    WriteAll(fd_, buffer_.data(), size + 12);
  }

 private:
  int fd_;
  std::uint64_t written_ = 0;
  std::vector<unsigned char> buffer_;
};

struct Layout {
  QImage image;  // in one of the formats written
  unsigned char colourType = 0;
  std::size_t bytesPerPixel = 1;
  std::size_t rowBytes = 0;
};

Layout LayoutOf(const QImage& source) {
  if (source.isNull()) Fail("there is no image to write");
  const auto width = static_cast<std::size_t>(source.width());
  switch (source.format()) {
    case QImage::Format_Grayscale8:
      return {source, 0, 1, width};
    case QImage::Format_RGB888:
      return {source, 2, 3, 3 * width};
    case QImage::Format_RGBA8888:
      return {source, 6, 4, 4 * width};
    default:
      break;
  }
  const bool alpha = source.hasAlphaChannel();
  QImage converted =
      source.convertToFormat(alpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888);
  if (converted.isNull()) Fail("there is not enough memory to convert the image");
  return alpha ? Layout{converted, 6, 4, 4 * width} : Layout{converted, 2, 3, 3 * width};
}

// How the rows are filtered and matched.
struct Method {
  PngFilterRule rule = PngFilterRule::NoneOrRepeat;
  int strategy = Z_RLE;
};

// Feeds filtered rows to zlib and the compressed bytes to IDAT chunks.
class IdatStream {
 public:
  IdatStream(ChunkWriter& chunks, const Layout& layout, int level, Method method)
      : chunks_(chunks), layout_(layout), rule_(method.rule), scratch_(2 * layout.rowBytes + 1) {
    if (deflateInit2(&stream_, level, Z_DEFLATED, 15, 9, method.strategy) != Z_OK) {
      Fail("the compressor cannot start");
    }
    Rewind();
  }
  ~IdatStream() { deflateEnd(&stream_); }
  IdatStream(const IdatStream&) = delete;
  IdatStream& operator=(const IdatStream&) = delete;

  // Rows first..end-1; the row above first is the filters' previous row (none above row 0).
  void AddRows(int first, int end) {
    const QImage& image = layout_.image;
    for (int y = first; y < end; ++y) {
      const std::span row(image.constScanLine(y), layout_.rowBytes);
      const std::span<const unsigned char> previous =
          y == 0 ? std::span<const unsigned char>()
                 : std::span(image.constScanLine(y - 1), layout_.rowBytes);
      const PngRowParts parts = FilterPngRow(rule_, layout_.bytesPerPixel, row, previous, scratch_);
      Add(parts.first);
      Add(parts.second);
    }
  }
  void Finish() {
    while (Run(Z_FINISH) != Z_STREAM_END) {
    }
    if (Pending() > 0) chunks_.Write("IDAT", Pending());
  }

 private:
  void Add(std::span<const unsigned char> bytes) {
    stream_.next_in = const_cast<unsigned char*>(bytes.data());
    stream_.avail_in = static_cast<uInt>(bytes.size());
    while (stream_.avail_in > 0) Run(Z_NO_FLUSH);
  }
  std::size_t Pending() const { return kIdatBytes - stream_.avail_out; }
  void Rewind() {
    stream_.next_out = chunks_.Data();
    stream_.avail_out = static_cast<uInt>(kIdatBytes);
  }
  int Run(int flush) {
    const int result = deflate(&stream_, flush);
    if (result != Z_OK && result != Z_STREAM_END && result != Z_BUF_ERROR) {
      Fail("the compressor failed");
    }
    if (stream_.avail_out == 0) {
      chunks_.Write("IDAT", kIdatBytes);
      Rewind();
    }
    return result;
  }

  ChunkWriter& chunks_;
  const Layout& layout_;
  PngFilterRule rule_;
  std::vector<unsigned char> scratch_;
  z_stream stream_{};
};

// Compresses a sample of the image every way and keeps the smallest; the fastest way (unfiltered
// rows, run-length matching) as long as it is nearly as small.
Method ChooseMethod(const Layout& layout, int level) {
  const int height = layout.image.height();
  const std::array<Method, 4> methods = {{{PngFilterRule::NoneOrRepeat, Z_RLE},
                                          {PngFilterRule::NoneOrRepeat, Z_DEFAULT_STRATEGY},
                                          {PngFilterRule::Adaptive, Z_RLE},
                                          {PngFilterRule::Adaptive, Z_DEFAULT_STRATEGY}}};
  std::array<std::uint64_t, 4> sizes{};
  for (std::size_t m = 0; m < methods.size(); ++m) {
    ChunkWriter counter(-1);
    IdatStream stream(counter, layout, level, methods[m]);
    if (height <= kSampleBands * kSampleBandRows) {
      stream.AddRows(0, height);
    } else {
      for (int band = 0; band < kSampleBands; ++band) {
        const int first =
            static_cast<int>(std::int64_t{height - kSampleBandRows} * band / (kSampleBands - 1));
        stream.AddRows(first, first + kSampleBandRows);
      }
    }
    stream.Finish();
    sizes[m] = counter.Written();
  }
  std::size_t best = 0;
  for (std::size_t m = 1; m < sizes.size(); ++m) {
    if (sizes[m] < sizes[best]) best = m;
  }
  if (static_cast<double>(sizes[0]) <= kFastAllowance * static_cast<double>(sizes[best]))
    return methods[0];
  return methods[best];
}

}  // namespace

void WritePng(const QImage& source, int fd) {
  const Layout layout = LayoutOf(source);
  const QImage& image = layout.image;
  const bool small = qint64{image.width()} * image.height() <= kSmallImagePixels;
  const int level = small ? 6 : 1;
  const Method method = ChooseMethod(layout, level);

  ChunkWriter chunks(fd);
  WriteAll(fd, kSignature.data(), kSignature.size());
  unsigned char* header = chunks.Data();
  PutBigEndian(header, static_cast<std::uint32_t>(image.width()));
  PutBigEndian(header + 4, static_cast<std::uint32_t>(image.height()));
  const unsigned char rest[5] = {8, layout.colourType, 0, 0, 0};  // depth, colours, no interlace
  std::memcpy(header + 8, rest, sizeof rest);
  chunks.Write("IHDR", 13);

  IdatStream idat(chunks, layout, level, method);
  idat.AddRows(0, image.height());
  idat.Finish();
  chunks.Write("IEND", 0);
}

void WritePng(const QImage& image, const std::string& path) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) Fail(std::strerror(errno));
  // Only a regular file is removed after a failure: a device such as /dev/full stays.
  struct stat info {};
  const bool regular = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
  try {
    WritePng(image, fd);
  } catch (...) {
    ::close(fd);
    if (regular) ::unlink(path.c_str());
    throw;
  }
  if (::close(fd) != 0) {
    const int error = errno;
    if (regular) ::unlink(path.c_str());
    Fail(std::strerror(error));
  }
}
