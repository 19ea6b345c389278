// SPDX-License-Identifier: GPL-3.0-or-later
// Differential fuzz target for the nesting guard: for every text the guard lets through, the tree the
// XML reader really builds is no deeper than the guard said (and exactly as deep when the text
// parses). Built with libFuzzer by scripts/fuzz.sh, and replayed over its corpus by the test suite.

#include "documents/XmlFile.h"

#include <tinyxml.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// Recursion is safe here: the reader built the tree recursively, to the same depth.
int ElementDepth(const TiXmlNode& node)
{
    int nMax = 0;
    for (const TiXmlNode* pChild = node.FirstChild(); pChild; pChild = pChild->NextSibling())
        nMax = std::max(nMax, ElementDepth(*pChild) + (pChild->ToElement() ? 1 : 0));
    return nMax;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/)
{
    TiXmlBase::SetCondenseWhiteSpace(false);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    const std::string text(reinterpret_cast<const char*>(pData), nSize);
    const int nGuard = MeasureXmlNesting(text);
    if (nGuard > kMaxXmlNesting)
        return 0;
    TiXmlDocument doc;
    doc.Parse(text.c_str(), nullptr, TIXML_ENCODING_LEGACY);
    const int nReal = ElementDepth(doc);
    if (nReal > nGuard || (!doc.Error() && nReal != nGuard)) {
        std::fprintf(stderr, "the guard measured %d levels, the reader built %d\n", nGuard, nReal);
        std::abort();
    }
    return 0;
}
