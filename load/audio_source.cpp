#include "audio_source.h"

#include <sndfile.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "input_file.h"
#include "load_error.h"
#include "sample_levels.h"
#include "sndfile_on_demand.h"

namespace {

// libsndfile reads through InputFile, so that opening follows the same rules as the other
// readers. A read error cannot pass through the C library as an exception: it is kept and
// thrown once libsndfile returns.
struct VirtualFile {
  const InputFile& file;
  sf_count_t position = 0;
  std::optional<LoadError> error;

  static VirtualFile& Of(void* user) { return *static_cast<VirtualFile*>(user); }
  static sf_count_t Length(void* user) { return static_cast<sf_count_t>(Of(user).file.Size()); }
  static sf_count_t Seek(sf_count_t offset, int whence, void* user) {
    VirtualFile& self = Of(user);
    const sf_count_t base = whence == SEEK_CUR   ? self.position
                            : whence == SEEK_END ? Length(user)
                                                 : 0;
    if ((offset > 0 && base > INT64_MAX - offset) || base + offset < 0) return -1;
    self.position = base + offset;
    return self.position;
  }
  static sf_count_t Read(void* buffer, sf_count_t count, void* user) {
    VirtualFile& self = Of(user);
    if (count <= 0 || self.error) return 0;
    try {
      const std::size_t got = self.file.ReadAt(static_cast<std::uint64_t>(self.position), buffer,
                                               static_cast<std::size_t>(count));
      self.position += static_cast<sf_count_t>(got);
      return static_cast<sf_count_t>(got);
    } catch (const LoadError& e) {
      self.error = e;
      return 0;
    }
  }
  static sf_count_t Write(const void*, sf_count_t, void*) { return 0; }
  static sf_count_t Tell(void* user) { return Of(user).position; }
};

struct CloseSound {
  void operator()(SNDFILE* sound) const { sf_close(sound); }
};
using Sound = std::unique_ptr<SNDFILE, CloseSound>;

class SoundFile {
 public:
  explicit SoundFile(const std::string& fileName)
      : file_(fileName), virtual_{file_, 0, std::nullopt} {
    RequireSndfile();
    SF_VIRTUAL_IO io{&VirtualFile::Length, &VirtualFile::Seek, &VirtualFile::Read,
                     &VirtualFile::Write, &VirtualFile::Tell};
    sound_.reset(sf_open_virtual(&io, SFM_READ, &info_, &virtual_));
    ThrowReadError();
    if (!sound_) {
      throw LoadError(std::string("it is not an audio file that can be decoded (") +
                      sf_strerror(nullptr) + ")");
    }
    if (info_.samplerate <= 0) {
      throw LoadError("its header gives a sample rate of " + std::to_string(info_.samplerate));
    }
    if (info_.channels <= 0 || info_.frames < 0) throw LoadError("its header gives no channels");
    sf_command(sound_.get(), SFC_SET_NORM_DOUBLE, nullptr, SF_TRUE);
  }

  std::int32_t Channels() const { return info_.channels; }
  std::int32_t SampleRate() const { return info_.samplerate; }
  sf_count_t Frames() const { return info_.frames; }

  void Read(sf_count_t first, std::span<double> frames) {
    std::fill(frames.begin(), frames.end(), 0.0);
    const auto wanted =
        std::min<sf_count_t>(static_cast<sf_count_t>(frames.size()) / info_.channels,
                             std::max<sf_count_t>(info_.frames - first, 0));
    if (wanted == 0) return;
    sf_count_t got = 0;
    if (first == position_ || sf_seek(sound_.get(), first, SEEK_SET) == first) {
      got = sf_readf_double(sound_.get(), frames.data(), wanted);
    }
    ThrowReadError();
    position_ = got == wanted ? first + got : -1;
    if (got != wanted) {
      throw LoadError("it decodes to fewer frames than its header promises: " +
                      std::to_string(first + std::max<sf_count_t>(got, 0)) + " of " +
                      std::to_string(info_.frames) + " (the file is cut or damaged)");
    }
    const auto count = static_cast<std::size_t>(wanted * info_.channels);
    for (std::size_t i = 0; i < count; ++i) frames[i] *= kSixteenBitUnits;
  }

 private:
  void ThrowReadError() {
    if (virtual_.error) throw *virtual_.error;
  }

  InputFile file_;
  VirtualFile virtual_;
  SF_INFO info_{};
  Sound sound_;
  sf_count_t position_ = 0;  // the next frame libsndfile decodes; -1 when unknown
};

}  // namespace

struct AudioSource::Open {
  explicit Open(const std::string& fileName) : sound(fileName) {}
  SoundFile sound;
};

AudioSource::AudioSource(const std::string& fileName) : open_(std::make_unique<Open>(fileName)) {}

AudioSource::~AudioSource() = default;

std::int32_t AudioSource::Channels() const {
  return open_->sound.Channels();
}

std::int32_t AudioSource::SampleRate() const {
  return open_->sound.SampleRate();
}

std::int64_t AudioSource::Frames() const {
  return open_->sound.Frames();
}

void AudioSource::Read(std::int64_t first, std::span<double> frames) {
  open_->sound.Read(first, frames);
}
