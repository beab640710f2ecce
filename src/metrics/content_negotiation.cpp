#include "metrics/content_negotiation.h"

#include <zlib.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <stdexcept>

namespace vantu {
namespace {

// zlib's window bits for a gzip header and trailer around the deflate stream.
constexpr int kGzipWindowBits = 15 + 16;
constexpr int kMemoryLevel = 8;

std::string_view Trim(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool SameWord(std::string_view a, std::string_view b) {
    return std::ranges::equal(a, b, [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

// The q parameter of one list element ("type;version=1;q=0.5"), 1 without one.
double Quality(std::string_view parameters) {
    while (!parameters.empty()) {
        const std::size_t semicolon = parameters.find(';');
        const std::string_view parameter = Trim(parameters.substr(0, semicolon));
        parameters.remove_prefix(semicolon == std::string_view::npos ? parameters.size()
                                                                     : semicolon + 1);
        if (parameter.size() > 2 && SameWord(parameter.substr(0, 2), "q=")) {
            double q = 0;
            const std::string_view value = parameter.substr(2);
            std::from_chars(value.data(), value.data() + value.size(), q);
            return q;
        }
    }
    return 1;
}

}  // namespace

bool HeaderAccepts(std::optional<std::string_view> header, std::string_view token) {
    std::string_view rest = header.value_or("");
    while (!rest.empty()) {
        const std::size_t comma = rest.find(',');
        const std::string_view element = rest.substr(0, comma);
        rest.remove_prefix(comma == std::string_view::npos ? rest.size() : comma + 1);
        const std::size_t semicolon = element.find(';');
        const std::string_view parameters = semicolon == std::string_view::npos
                                                ? std::string_view()
                                                : element.substr(semicolon + 1);
        if (SameWord(Trim(element.substr(0, semicolon)), token) && Quality(parameters) > 0) {
            return true;
        }
    }
    return false;
}

std::string Gzip(std::string_view bytes) {
    z_stream stream{};
    if (deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, kGzipWindowBits, kMemoryLevel,
                     Z_DEFAULT_STRATEGY) != Z_OK) {
        throw std::runtime_error("gzip: no memory for the compressor");
    }
    std::string out(deflateBound(&stream, static_cast<uLong>(bytes.size())), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
    stream.avail_in = static_cast<uInt>(bytes.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    const int result = deflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    if (result != Z_STREAM_END) {
        throw std::runtime_error("gzip: the compressor did not finish");
    }
    return out;
}

}  // namespace vantu
