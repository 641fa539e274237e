// File names put into the generated markup. A name may hold characters that would end an
// attribute, open a tag or cut a link short; these are written so that the markup stays well
// formed and the link still reaches the file. Names without them come out unchanged.
#pragma once

#include <string>
#include <string_view>

namespace vortena {

// Text between tags or inside an attribute: & < > " as &amp; &lt; &gt; &quot;.
std::string htmlText(std::string_view text);

// A link target (href or src value): as htmlText, and # ? % percent-encoded (%23 %3F %25) so
// that they stay part of the file name instead of starting a fragment, a query or an escape;
// controls (tab, line feed, ...) and bytes that are not valid UTF-8 are percent-encoded too.
// A target whose first segment holds ':' is written with "./" before it, so that it can never
// be read as a scheme. Valid UTF-8 and every other character come out unchanged.
std::string linkTarget(std::string_view target);

}  // namespace vortena
