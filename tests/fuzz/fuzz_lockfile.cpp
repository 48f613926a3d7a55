// The process id of a lock file's content: what is read is exactly the
// leading decimal number after white space, a positive one that a process id
// can be; whatever follows a separator (a name, a host) never changes it.

#include "fuzzpieces.h"
#include "portlock.h"

#include <cctype>
#include <charconv>
#include <string>

namespace {

bool IsSpace(char c)
{
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView content(data, static_cast<qsizetype>(size));
    const std::optional<qint64> pid = ParseLockFilePid(content);

    const std::string text(reinterpret_cast<const char *>(data), size);
    std::size_t start = 0;
    while (start < text.size() && IsSpace(text[start]))
        ++start;
    std::size_t end = start;
    while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end])))
        ++end;

    if (pid) {
        FUZZ_CHECK(*pid > 0);
        // The digits read, and only those, give the id.
        qint64 reference = 0;
        const auto [stop, error] = std::from_chars(text.data() + start, text.data() + end, reference);
        FUZZ_CHECK(error == std::errc() && stop == text.data() + end && reference == *pid);
        FUZZ_CHECK(end == text.size() || text[end] == '\0' || IsSpace(text[end]));
        // A name after the id is the holder's business, not the id's.
        const QByteArray named = QByteArray(content.data(), static_cast<qsizetype>(end)) + "\nname\n";
        FUZZ_CHECK(ParseLockFilePid(named) == pid);
    } else if (end > start && (end == text.size() || text[end] == '\0' || IsSpace(text[end]))) {
        // Refused although well formed: only for an id no process can have.
        qint64 reference = 0;
        const auto [stop, error] = std::from_chars(text.data() + start, text.data() + end, reference);
        FUZZ_CHECK(error != std::errc() || reference == 0 || reference > 4194304);
    }
    return 0;
}
