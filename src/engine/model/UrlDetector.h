#pragma once

#include <QChar>
#include <QStringView>

#include <cstdint>
#include <utility>
#include <vector>

namespace richedit::model {

// A detected address: [first, second) in the scanned text.
using UrlRange = std::pair<int32_t, int32_t>;

// Characters no address runs across: white space (paragraph marks and line breaks included),
// object characters and other control characters. Whether text is an address never depends on
// anything beyond such a character, so a caller may scan any stretch of a paragraph that starts
// and ends at one (or at the paragraph's ends) and finds what a scan of the whole paragraph finds
// there.
bool isUrlBreak(QChar c);

// The web, mail and file addresses in text, in order and without overlaps. An address starts
// with one of the schemes http://, https://, ftp://, file:, mailto:, news:, nntp:// or
// telnet:// (in any case), or with www., and is not glued to a word before it. It runs up to
// white space or a character no address holds (angle brackets, double and typographic quotes);
// an address after a single quote ends at the next single quote. Punctuation at its end that a
// sentence puts there (. , ; : ! ? and quotes), and closing brackets without an opening one
// inside, are not part of it. Something must follow the scheme, and a letter or digit the www.
std::vector<UrlRange> findUrls(QStringView text);

} // namespace richedit::model
