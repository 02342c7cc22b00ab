#include "tag/id3v2_reader.h"

#include <commentsframe.h>
#include <fcntl.h>
#include <id3v2framefactory.h>
#include <id3v2header.h>
#include <id3v2tag.h>
#include <mpegfile.h>
#include <sys/stat.h>
#include <textidentificationframe.h>
#include <tfilestream.h>
#include <unistd.h>

#include <exception>

#include "tag/id3v2_header.h"
#include "tag/id3v2_inflate_guard.h"

namespace ambrel {

namespace {

constexpr const char* kNoTag = "no ID3v2 tag";
constexpr const char* kDamaged = "the ID3v2 tag is damaged";
constexpr const char* kUnreadable = kId3v2Unreadable;

// TagLib rewrites a genre frame while it parses it ("(17)" becomes "17", "(17)Rock" becomes
// "Rock"); the genre matcher is to see the text as written. A genre frame is therefore filed
// under an ID that no frame in a file can carry (IDs there are upper case), which TagLib
// still parses as a plain text frame.
const TagLib::ByteVector kGenreAsWritten("Tcon", 4);

// The frame header class is named only within frames; a frame type that is never made
// passes its name on.
struct FrameHeaderName : TagLib::ID3v2::Frame {
    using Header = TagLib::ID3v2::Frame::Header;
};

class GenreAsWrittenFactory : public TagLib::ID3v2::FrameFactory {
protected:
    bool updateFrame(FrameHeaderName::Header* header) const override {
        if (!FrameFactory::updateFrame(header)) return false;
        if (header->frameID() == "TCON") header->setFrameID(kGenreAsWritten);
        return true;
    }
};

// Compressed frames may inflate to this much in all; TagLib holds several copies of what it
// inflates, so this keeps a tag's cost to some tens of megabytes.
constexpr std::size_t kMaxInflated = std::size_t{16} << 20;

Id3v2Reading Problem(const char* problem) { return Id3v2Reading{std::nullopt, problem}; }

// Several values of one text frame (2.4 separates them by a zero) joined the way 2.3 writes
// them; the genre, track and year keep only their first value, which is what ID3v1 can hold.
std::string Joined(const TagLib::StringList& values) {
    std::string text;
    for (auto it = values.begin(); it != values.end(); ++it) {
        if (it != values.begin()) text += '/';
        text += it->to8Bit(true);
    }
    return text;
}

const TagLib::ID3v2::TextIdentificationFrame* TextFrame(const TagLib::ID3v2::Tag& tag,
                                                        const TagLib::ByteVector& id) {
    const TagLib::ID3v2::FrameList& frames = tag.frameList(id);
    if (frames.isEmpty()) return nullptr;
    return dynamic_cast<const TagLib::ID3v2::TextIdentificationFrame*>(frames.front());
}

std::optional<std::string> AllValues(const TagLib::ID3v2::Tag& tag, const char* id) {
    const auto* frame = TextFrame(tag, id);
    if (!frame) return std::nullopt;
    return Joined(frame->fieldList());
}

std::optional<std::string> FirstValue(const TagLib::ID3v2::Tag& tag, const TagLib::ByteVector& id) {
    const auto* frame = TextFrame(tag, id);
    if (!frame) return std::nullopt;
    const TagLib::StringList values = frame->fieldList();
    return values.isEmpty() ? std::string() : values.front().to8Bit(true);
}

// TagLib files a 2.3 or 2.2 year (TYER, TYE) under TDRC and, when a TDAT frame holds the day,
// appends "-MM-DD" to it; the year is wanted as its frame holds it.
std::optional<std::string> Year(const TagLib::ID3v2::Tag& tag, unsigned int major) {
    std::optional<std::string> year = FirstValue(tag, "TDRC");
    if (!year) year = FirstValue(tag, "TYER");
    if (year && major < 4 && !tag.frameList("TDAT").isEmpty() && year->size() == 10 &&
        (*year)[4] == '-')
        year->resize(4);
    return year;
}

// iTunes and others add comments with a description ("iTunNORM") that are not for people.
std::optional<std::string> Comment(const TagLib::ID3v2::Tag& tag) {
    const TagLib::ID3v2::CommentsFrame* first = nullptr;
    for (const TagLib::ID3v2::Frame* frame : tag.frameList("COMM")) {
        const auto* comment = dynamic_cast<const TagLib::ID3v2::CommentsFrame*>(frame);
        if (!comment) continue;
        if (comment->description().isEmpty()) return comment->text().to8Bit(true);
        if (!first) first = comment;
    }
    if (!first) return std::nullopt;
    return first->text().to8Bit(true);
}

Id3v2Values ValuesOf(const TagLib::ID3v2::Tag& tag) {
    const unsigned int major = tag.header()->majorVersion();
    Id3v2Values values;
    values.version = std::string(id3v2::VersionText(static_cast<uint8_t>(major)));
    values.title = AllValues(tag, "TIT2");
    values.artist = AllValues(tag, "TPE1");
    values.album = AllValues(tag, "TALB");
    values.year = Year(tag, major);
    values.track = FirstValue(tag, "TRCK");
    values.genre = FirstValue(tag, kGenreAsWritten);
    values.comment = Comment(tag);
    return values;
}

// The tag's bytes after its header, as the header's syncsafe size counts them (already checked
// to lie within the file); none when they cannot be read.
std::optional<std::string> TagBody(int fd, const id3v2::HeaderBytes& header) {
    std::size_t size = 0;
    for (std::size_t i = 6; i < id3v2::kHeaderSize; ++i) size = (size << 7) | header[i];
    std::string body(size, '\0');
    std::size_t got = 0;
    while (got < size) {
        const ssize_t n = ::pread(fd, body.data() + got, size - got,
                                  static_cast<off_t>(id3v2::kHeaderSize + got));
        if (n <= 0) return std::nullopt;
        got += static_cast<std::size_t>(n);
    }
    return body;
}

// TagLib takes the descriptor (and closes it) once it has opened a stream on it.
Id3v2Reading ReadWithTagLib(int fd) {
    TagLib::FileStream stream(fd, true);
    if (!stream.isOpen()) {
        ::close(fd);
        return Problem(kUnreadable);
    }
    GenreAsWrittenFactory factory;
    // Audio properties are not wanted: reading them walks the MPEG frames.
    TagLib::MPEG::File file(&stream, &factory, false);
    const TagLib::ID3v2::Tag* tag = file.isValid() ? file.ID3v2Tag(false) : nullptr;
    if (!tag) return Problem(kDamaged);
    return Id3v2Reading{ValuesOf(*tag), {}};
}

}  // namespace

Id3v2Reading ReadId3v2(const std::string& path) {
    // Not blocking: a FIFO given for a file must not hang the open; it is refused below.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return Problem(kUnreadable);
    struct stat st {};
    id3v2::HeaderBytes header{};
    const bool regular = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    const ssize_t got = regular ? ::pread(fd, header.data(), header.size(), 0) : -1;
    if (got < 0) {
        ::close(fd);
        return Problem(kUnreadable);
    }
    // A file cut short inside the header still counts as one whose tag is damaged.
    const bool starts_with_id3 =
        got >= 3 && header[0] == 'I' && header[1] == 'D' && header[2] == '3';
    // The declared size is checked against the file before TagLib sees it: TagLib would
    // otherwise set aside memory for whatever size the header claims.
    const bool well_formed = starts_with_id3 && id3v2::HeaderMajor(header, st.st_size) != 0;
    if (!well_formed) {
        ::close(fd);
        return Problem(starts_with_id3 ? kDamaged : kNoTag);
    }
    try {
        const std::optional<std::string> body = TagBody(fd, header);
        if (!body || id3v2::InflatesPast(*body, kMaxInflated)) {
            ::close(fd);
            return Problem(body ? kDamaged : kUnreadable);
        }
        return ReadWithTagLib(fd);
    } catch (const std::exception&) {
        return Problem(kDamaged);
    }
}

}  // namespace ambrel
