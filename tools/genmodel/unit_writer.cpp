#include "unit_writer.h"

#include <cctype>

namespace genmodel {

void WriteFileHeader(tNotationWriter& out) {
    out.Line(0, "(object Vellum");
    out.Number(1, "version", 50);
    out.Quoted(1, "_written", "lum_genmodel");
    out.Feature(1, "charSet", "0)");
    out.Line(0, "");
}

void WritePackage(tModelContext& context, tNotationWriter& parent, int depth, const tPackagePlace& place,
                  const tPackageBody& body) {
    if (context.SingleFile()) {
        body(parent, depth, false);
        return;
    }
    std::string text;
    context.Open(text);
    tNotationWriter out(text);
    WriteFileHeader(out);
    body(out, 0, true);
    out.Append("\n");
    context.unitPackages[place.file] = place.element.path;
    context.Finish(place.file, text);

    parent.Line(depth, "(object Class_Category ");
    parent.Append(Quote(place.element.name));
    parent.Bool(depth + 1, "is_unit", true);
    parent.Bool(depth + 1, "is_loaded", false);
    parent.Quoted(depth + 1, "file_name", place.storedPath);
    parent.Quoted(depth + 1, "quid", place.element.quid);
    parent.Close();
}

std::string FileStem(const std::string& name) {
    std::string stem;
    for (char c : name) stem += c == ' ' ? '_' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return stem;
}

}  // namespace genmodel
