#pragma once

#include <cstdio>
#include <istream>
#include <ostream>
#include <string>
#include <string_view>

// What lets a terminal batch stream: input read a line at a time from large
// blocks, output written in blocks as it is made, and the lines of standard
// error that must follow all the others kept aside meanwhile. Nothing here
// grows with the number of chainages.

namespace capbeam {

// The lines of a stream, each without its line end (LF or CR LF), as
// std::getline gives them (a last line without a line end counts; nothing
// after a last line end does). Read in blocks: a stream synchronised with C
// stdio hands over a block at once but a line a character at a time.
class LineReader {
public:
    explicit LineReader(std::istream& in) : in_(in) {}

    bool Next(std::string& line) {
        for (;;) {
            const std::size_t end = buffer_.find('\n', from_);
            if (end != std::string::npos) {
                Take(line, end);
                from_ = end + 1;
                return true;
            }
            buffer_.erase(0, from_);
            from_ = 0;
            if (!Fill()) {
                if (buffer_.empty()) return false;
                Take(line, buffer_.size());
                buffer_.clear();
                return true;
            }
        }
    }

private:
    bool Fill() {
        if (eof_) return false;
        char block[1 << 16];
        const std::streamsize got = in_.rdbuf() ? in_.rdbuf()->sgetn(block, sizeof block) : 0;
        if (got <= 0) {
            eof_ = true;
            return false;
        }
        buffer_.append(block, static_cast<std::size_t>(got));
        return true;
    }
    void Take(std::string& line, std::size_t end) {
        line.assign(buffer_, from_, end - from_);
        if (!line.empty() && line.back() == '\r') line.pop_back();
    }

    std::istream& in_;
    std::string buffer_;
    std::size_t from_ = 0;
    bool eof_ = false;
};

// Output made in a string and written whenever it passes a block's size.
// Once a write fails, nothing more is written: Good() says so, and the caller
// stops computing what no one can read.
class BlockWriter {
public:
    explicit BlockWriter(std::ostream& out) : out_(out) { text.reserve(kBlock + 4096); }

    std::string text;  // append here, then call Written()

    void Written() {
        if (text.size() >= kBlock) Flush();
    }
    bool Flush() {
        if (out_) out_.write(text.data(), static_cast<std::streamsize>(text.size()));
        text.clear();
        out_.flush();
        return static_cast<bool>(out_);
    }
    bool Good() const { return static_cast<bool>(out_); }

private:
    static constexpr std::size_t kBlock = 1 << 16;
    std::ostream& out_;
};

// Lines held back to be written after everything else, in the order added:
// in memory up to a block, beyond it in a temporary file, so that a batch
// of a million refused chainages still runs in little memory. Where no
// temporary file can be made, they stay in memory.
class Spool {
public:
    Spool() = default;
    Spool(const Spool&) = delete;
    Spool& operator=(const Spool&) = delete;
    ~Spool() {
        if (file_) std::fclose(file_);
    }

    void Add(std::string_view text) {
        held_ += text;
        if (held_.size() < kBlock) return;
        if (!file_ && !noFile_) {
            file_ = std::tmpfile();
            noFile_ = file_ == nullptr;
        }
        // What the file took leaves memory; what it did not stays, in order.
        if (file_) held_.erase(0, std::fwrite(held_.data(), 1, held_.size(), file_));
    }
    bool Empty() const { return held_.empty() && !file_; }

    void WriteTo(std::ostream& out) {
        if (file_) {
            std::rewind(file_);
            char block[1 << 16];
            std::size_t got = 0;
            while ((got = std::fread(block, 1, sizeof block, file_)) > 0) out.write(block, static_cast<std::streamsize>(got));
        }
        out << held_;
        held_.clear();
    }

private:
    static constexpr std::size_t kBlock = 1 << 16;
    std::string held_;
    std::FILE* file_ = nullptr;
    bool noFile_ = false;
};

}  // namespace capbeam
