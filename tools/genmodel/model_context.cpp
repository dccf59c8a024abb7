#include "model_context.h"

#include <algorithm>
#include <cstdio>

namespace genmodel {

tModelContext::tModelContext(std::uint32_t seed, std::size_t targetBytes, bool singleFile, tFileSink sink)
    : random(seed), m_targetBytes(targetBytes), m_singleFile(singleFile), m_sink(std::move(sink)),
      m_nextQuid(0x3A000000u + (seed % 0x1000u) * 0x10000u) {}

std::string tModelContext::NewQuid() {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%08X%04X", m_nextQuid++, random.Raw() & 0xFFFFu);
    return buffer;
}

std::size_t tModelContext::Progress() const {
    std::size_t bytes = m_finishedBytes;
    for (const std::string* text : m_open) bytes += text->size();
    return bytes;
}

void tModelContext::Finish(const std::string& path, const std::string& text) {
    m_open.erase(std::remove(m_open.begin(), m_open.end(), &text), m_open.end());
    m_finishedBytes += text.size();
    ++m_unitFiles;
    m_sink(path, text);
}

}  // namespace genmodel
