// What a scraper asks for in Accept and Accept-Encoding: the metrics format and
// whether the body may go gzipped.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vantu {

// True when the header lists token (a media type or a content coding, compared without
// case and parameters) with a quality above 0.
bool HeaderAccepts(std::optional<std::string_view> header, std::string_view token);

// The bytes as a gzip member (RFC 1952), at the default compression level.
std::string Gzip(std::string_view bytes);

}  // namespace vantu
