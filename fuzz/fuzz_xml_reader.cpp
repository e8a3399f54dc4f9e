// Feeds arbitrary bytes to the XML project file reader. A document that loads must write back to a
// document that loads again and writes the very same text (the reader accepts everything the writer
// produces, and one write makes every value canonical).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "projectfile/xml_reader.h"
#include "projectfile/xml_writer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    constexpr std::string_view kPath = "/nonexistent-zorva-fuzz/project.xml";
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    zorva::LoadResult first = zorva::read_xml_project_from_memory(bytes, kPath);
    if (!first) return 0;
    const std::string written = zorva::xml_document_text(*first.project, kPath, nullptr);
    zorva::LoadResult second = zorva::read_xml_project_from_memory(written, kPath);
    if (!second) std::abort();
    if (zorva::xml_document_text(*second.project, kPath, nullptr) != written) std::abort();
    return 0;
}
