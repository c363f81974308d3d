// libzip takes the data of a source whose stat names a compression method as compressed
// already and copies it unchanged; it asks for the CRC and the sizes again once it has read
// the data, and writes them into the entry's local and central headers.

#include "platform/posix/deflated_file_source.h"

#include <sys/stat.h>
#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <vector>

namespace platform {

namespace {

class DeflatingReader {
  public:
    DeflatingReader(std::filesystem::path file, int level, zip_uint64_t size, time_t mtime)
        : file_(std::move(file)), level_(level), size_(size), mtime_(mtime) {
        zip_error_init(&error_);
    }
    ~DeflatingReader() {
        close();
        zip_error_fini(&error_);
    }
    DeflatingReader(const DeflatingReader&) = delete;
    DeflatingReader& operator=(const DeflatingReader&) = delete;

    static zip_int64_t Callback(void* state, void* data, zip_uint64_t length,
                                zip_source_cmd_t command) {
        auto* reader = static_cast<DeflatingReader*>(state);
        switch (command) {
            case ZIP_SOURCE_OPEN:
                return reader->open();
            case ZIP_SOURCE_READ:
                return reader->read(static_cast<Bytef*>(data), length);
            case ZIP_SOURCE_CLOSE:
                reader->close();
                return 0;
            case ZIP_SOURCE_STAT:
                return reader->stat(data, length);
            case ZIP_SOURCE_ERROR:
                return zip_error_to_data(&reader->error_, data, length);
            case ZIP_SOURCE_FREE:
                delete reader;
                return 0;
            case ZIP_SOURCE_SUPPORTS:
                return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ,
                                                      ZIP_SOURCE_CLOSE, ZIP_SOURCE_STAT,
                                                      ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE, -1);
            default:
                zip_error_set(&reader->error_, ZIP_ER_OPNOTSUPP, 0);
                return -1;
        }
    }

  private:
    zip_int64_t open() {
        close();
        input_ = std::fopen(file_.c_str(), "rb");
        if (input_ == nullptr) {
            zip_error_set(&error_, ZIP_ER_OPEN, errno);
            return -1;
        }
        stream_ = z_stream{};
        // Raw deflate: the archive's headers take the place of zlib's own.
        const int status =
            deflateInit2(&stream_, level_, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
        if (status != Z_OK) {
            std::fclose(input_);
            input_ = nullptr;
            zip_error_set(&error_, ZIP_ER_ZLIB, status);
            return -1;
        }
        streamOpen_ = true;
        buffer_.resize(256 * 1024);
        atEnd_ = false;
        finished_ = false;
        crc_ = crc32(0, nullptr, 0);
        read_ = 0;
        written_ = 0;
        return 0;
    }

    zip_int64_t read(Bytef* out, zip_uint64_t length) {
        if (finished_)
            return 0;
        stream_.next_out = out;
        stream_.avail_out = static_cast<uInt>(std::min<zip_uint64_t>(length, UINT_MAX));
        const uInt room = stream_.avail_out;
        while (stream_.avail_out > 0 && !finished_) {
            if (stream_.avail_in == 0 && !atEnd_ && !fill())
                return -1;
            const int status = deflate(&stream_, atEnd_ ? Z_FINISH : Z_NO_FLUSH);
            if (status == Z_STREAM_END) {
                finished_ = true;
            } else if (status != Z_OK && status != Z_BUF_ERROR) {
                zip_error_set(&error_, ZIP_ER_ZLIB, status);
                return -1;
            }
        }
        const uInt produced = room - stream_.avail_out;
        written_ += produced;
        return produced;
    }

    bool fill() {
        const size_t got = std::fread(buffer_.data(), 1, buffer_.size(), input_);
        if (got < buffer_.size()) {
            if (std::ferror(input_)) {
                zip_error_set(&error_, ZIP_ER_READ, errno);
                return false;
            }
            atEnd_ = true;
        }
        crc_ = crc32(crc_, buffer_.data(), static_cast<uInt>(got));
        read_ += got;
        stream_.next_in = buffer_.data();
        stream_.avail_in = static_cast<uInt>(got);
        return true;
    }

    void close() {
        if (streamOpen_)
            deflateEnd(&stream_);
        streamOpen_ = false;
        if (input_ != nullptr)
            std::fclose(input_);
        input_ = nullptr;
        std::vector<Bytef>().swap(buffer_);
    }

    zip_int64_t stat(void* data, zip_uint64_t length) {
        zip_stat_t* stat = ZIP_SOURCE_GET_ARGS(zip_stat_t, data, length, &error_);
        if (stat == nullptr)
            return -1;
        zip_stat_init(stat);
        stat->valid =
            ZIP_STAT_COMP_METHOD | ZIP_STAT_ENCRYPTION_METHOD | ZIP_STAT_SIZE | ZIP_STAT_MTIME;
        stat->comp_method = ZIP_CM_DEFLATE;
        stat->encryption_method = ZIP_EM_NONE;
        stat->mtime = mtime_;
        stat->size = size_;
        // Until the file has been read, the size is what the file system says; afterwards it
        // is what was read, so the headers always describe the data in the archive.
        if (finished_) {
            stat->valid |= ZIP_STAT_CRC | ZIP_STAT_COMP_SIZE;
            stat->size = read_;
            stat->crc = static_cast<zip_uint32_t>(crc_);
            stat->comp_size = written_;
        }
        return sizeof(zip_stat_t);
    }

    const std::filesystem::path file_;
    const int level_;
    const zip_uint64_t size_;
    const time_t mtime_;
    zip_error_t error_;
    std::FILE* input_ = nullptr;
    z_stream stream_{};
    bool streamOpen_ = false;
    std::vector<Bytef> buffer_;
    bool atEnd_ = false;
    bool finished_ = false;
    uLong crc_ = 0;
    zip_uint64_t read_ = 0;
    zip_uint64_t written_ = 0;
};

}  // namespace

zip_source_t* DeflatedFileSource(zip_t* archive, const std::filesystem::path& file, int level,
                                 std::string& error) {
    struct stat info;
    if (::stat(file.c_str(), &info) != 0) {
        error = std::strerror(errno);
        return nullptr;
    }
    if (!S_ISREG(info.st_mode)) {
        error = "not a file";
        return nullptr;
    }
    auto* reader =
        new DeflatingReader(file, level, static_cast<zip_uint64_t>(info.st_size), info.st_mtime);
    zip_source_t* source = zip_source_function(archive, &DeflatingReader::Callback, reader);
    if (source == nullptr) {
        error = zip_error_strerror(zip_get_error(archive));
        delete reader;
    }
    return source;
}

}  // namespace platform
