#!/usr/bin/env python3
"""Measures how sharp the unit tests are: a fixed list of single-point
mutations of src/, applied one at a time to a copy of the source tree, each
rebuilt and run against the unit test programs (tests/<subsystem>/).

    tools/mutate.py                   copy the tree into build-mutate/, run every mutant
    tools/mutate.py --list            list the mutants and check that each still applies
    tools/mutate.py --only ID [ID..]  run only these mutants (e.g. reader-03)
    tools/mutate.py --tree DIR        mutate DIR instead (a copy the caller owns; files are
                                      restored after each mutant)
    tools/mutate.py --work DIR        where the copy and its build live (default build-mutate/)

A mutant is killed when a unit test fails, crashes or times out, not viable
when the library does not compile with it, and survives otherwise. The
mutants are an explicit list of (file, text, replacement): the text is found
by pattern (runs of white space match any white space) and must occur
exactly once, so the list survives edits around it; a mutant whose text is
gone is reported as stale. The source tree the script is run from is never
written: it is copied (tracked and untracked files, not ignored ones) into
the work folder, whose build is reused from run to run, so only the mutated
file and the test programs are rebuilt per mutant.

Exit status 0 whatever the score (it is a measure); 2 for a usage error or a
baseline that does not build or pass.
"""

import argparse
import os
import re
import shutil
import subprocess
import sys
import time

# (file under src/, text, replacement, what it does). Keep each text unique in its file.
MUTANTS = [
    # platform
    ("platform/numbers.cpp", "bool IsDigit(wchar_t ch) { return ch >= L'0' && ch <= L'9'; }",
     "bool IsDigit(wchar_t ch) { return ch >= L'0' && ch < L'9'; }", "comparison: 9 is no digit"),
    ("platform/numbers.cpp", "if (value > limit) value = limit;", "", "statement: no clamp of huge ints"),
    ("platform/numbers.cpp", "value = magnitude + exponent > 0 ? HUGE_VAL : 0.0;",
     "value = magnitude + exponent > 0 ? 0.0 : HUGE_VAL;", "branch: overflow and underflow swapped"),
    ("platform/numbers.cpp", "if (negativeExponent) exponent = -exponent;", "", "statement: exponent sign lost"),
    ("platform/cp1252.cpp", "0x20AC, 0x0081,", "0x20AD, 0x0081,", "constant: byte 0x80 is not the euro sign"),
    ("platform/utf8.cpp", "if (b == 0xE0) return {3, 0xA0, 0xBF};", "if (b == 0xE0) return {3, 0x80, 0xBF};",
     "constant: overlong three-byte forms accepted"),
    ("platform/utf8.cpp", "if ((cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) cp = 0xFFFD;", "",
     "statement: surrogates encoded"),
    ("platform/codepage.cpp", "for (std::size_t i = 0; i < done; ++i) to[i] = static_cast<wchar_t>(in[i]);",
     "for (std::size_t i = 0; i + 1 < done; ++i) to[i] = static_cast<wchar_t>(in[i]);",
     "comparison: last byte of an ASCII run not copied"),
    ("platform/wide_format.cpp", "if (width < 0) directive.left = true;", "", "statement: negative * width not left"),
    ("platform/wide_format.cpp", "const bool padWithZeros = zeroPad && directive.zero && !directive.left;",
     "const bool padWithZeros = zeroPad && directive.zero;", "condition: '-' no longer beats '0'"),
    ("platform/wide_format.cpp", "base = 8;", "base = 10;", "constant: %o in decimal"),
    ("platform/wide_format.cpp", "upper = conversion == L'X';", "upper = conversion == L'x';",
     "comparison: %x and %X swapped"),
    ("platform/file_names.cpp", "(low - 0xDC00)", "(low - 0xDC01)", "constant: surrogate pairs off by one"),
    ("platform/find_file.cpp", "if (!matching || component == \"/\" || fs::exists(next, error)) {",
     "if (matching || component == \"/\" || fs::exists(next, error)) {", "condition: no case-blind search"),
    ("platform/large_blocks.cpp", "if (bytes >= MappedFrom) {", "if (bytes > MappedFrom) {",
     "comparison: a block of exactly 1 MiB freed the wrong way"),
    # text
    ("text/codecs.cpp", "accumulated = 0u - accumulated;", "", "statement: negative ints come out positive"),
    ("text/codecs.cpp", "if (WString::Match(text, L\"true\", false)) {", "if (WString::Match(text, L\"true\", true)) {",
     "constant: TRUE no longer a bool"),
    ("text/enums.cpp", "if (value >= 0 && static_cast<std::size_t>(value) < literals.size())",
     "if (value > 0 && static_cast<std::size_t>(value) < literals.size())", "comparison: first literal not encoded"),
    ("text/enums.cpp", "L\"By Reference\", L\"By Value\"", "L\"By Reference\", L\"ByValue\"",
     "constant: a literal misspelt"),
    ("text/ident.cpp", "return std::wcscmp(m_pText, text) == 0;", "return std::wcscmp(m_pText, text) != 0;",
     "comparison: identifier equals text inverted"),
    ("text/ident_pool.cpp", "tEntry** link = &buckets[entry->hash & (count - 1)];",
     "tEntry** link = &buckets[entry->hash & (count - 2)];", "constant: rehash puts entries in wrong buckets"),
    ("text/location.cpp", "if (current == 1) {", "if (current == 2) {", "constant: three coordinates accepted"),
    ("text/location.cpp", "out.Format(L\"(%d , %d)\", value.x, value.y);", "out.Format(L\"(%d, %d)\", value.x, value.y);",
     "constant: location written differently"),
    ("text/wstring.cpp", "if (ca != cb) return ca < cb;", "if (ca != cb) return ca > cb;",
     "comparison: text order reversed"),
    ("text/wstring.cpp", "if (caseSensitive || Lower(*a) != Lower(*b)) return false;",
     "if (Lower(*a) != Lower(*b)) return false;", "condition: case-sensitive match ignores case"),
    ("text/wstring.cpp", "if (!trimmed.empty()) out.push_back(std::move(trimmed));", "out.push_back(std::move(trimmed));",
     "condition: blank pieces kept by Split"),
    ("text/wstring.cpp", "if (i == text.size()) return false;", "", "statement: a lone sign is an integer"),
    ("text/utf8.cpp", "if (lead == 0xF4) high = 0x8F;", "", "statement: code points past U+10FFFF valid"),
    # diagnostics
    ("diagnostics/error.cpp", "if (line != other.line) return line < other.line;",
     "if (line != other.line) return line > other.line;", "comparison: subjects ordered by line backwards"),
    ("diagnostics/error.cpp", "case Warning: return L\"Warning\";", "case Warning: return L\"Warn\";",
     "constant: severity name"),
    ("diagnostics/error.cpp", "subject == other.subject && message == other.message", "subject == other.subject",
     "condition: errors equal whatever their message"),
    ("diagnostics/error_list.cpp", "if (OnErrorAdded(error)) push_back(error);", "push_back(error);",
     "condition: the hook cannot refuse an error"),
    ("diagnostics/error_list.cpp", "ReportV(diag::Unknown, tErrorSubject(), tError::Warning, format, args);",
     "ReportV(diag::Unknown, tErrorSubject(), tError::Error, format, args);", "constant: default severity"),
    ("traverse/subject_text.cpp", "text.Format(L\"line %d\", static_cast<int>(line));",
     "text.Format(L\"line %d\", static_cast<int>(line) + 1);", "constant: line off by one"),
    ("traverse/subject_text.cpp", "const bool isLine = clientName.GetLength() != 0 && supplierName.GetLength() != 0;",
     "const bool isLine = clientName.GetLength() != 0 || supplierName.GetLength() != 0;",
     "condition: one end makes a line"),
    # meta
    ("meta/lifetime.cpp", "if (g_nInitializations++ != 0) return;", "if (g_nInitializations++ > 1) return;",
     "comparison: a second InitializeLUM builds again"),
    ("meta/lifetime.cpp", "if (g_nInitializations-- != 1) return;", "if (g_nInitializations-- > 2) return;",
     "comparison: an inner FinalizeLUM tears down"),
    ("meta/lifetime.cpp", "if (feature->GetKind() == ClumMetaFeature::eLink) metaClass->m_linkFeatures.push_back(feature);",
     "", "statement: no link features listed"),
    ("meta/lifetime.cpp", "level = level->m_bases.empty() ? nullptr : level->m_bases.front()) {", "level = nullptr) {",
     "statement: inherited features left out"),
    ("meta/meta_class.cpp", "queue.insert(queue.end(), next->m_bases.begin(), next->m_bases.end());", "",
     "statement: IsKindOf knows no base"),
    ("meta/meta_provider.cpp", "return index < m_pBody->features.size() ? m_pBody->features[index] : nullptr;",
     "return index + 1 < m_pBody->features.size() ? m_pBody->features[index] : nullptr;",
     "comparison: last feature not found"),
    ("meta/class_factory.cpp", "L\"Could not create class '%s'. This class is an abstract.\", name.c_str());\n        return nullptr;",
     "L\"Could not create class '%s'. This class is an abstract.\", name.c_str());",
     "statement: abstract class created anyway"),
    # model
    ("model/entity.cpp", "if (m_pOwningFeature == nullptr) m_pOwningFeature = &feature;", "m_pOwningFeature = &feature;",
     "condition: a second owner takes over"),
    ("model/entity.cpp", "return link->RemoveAt(position) == this ? owner : nullptr;",
     "return link->RemoveAt(position) == this ? nullptr : owner;", "branch: UnsetOwner answers the wrong way"),
    ("model/entity.cpp", "        t_pending->push_back(object);\n        return;", "        delete object;\n        return;",
     "statement: deleting recurses again"),
    ("model/object_ref.cpp", "return name.c_str()[0] == L'@' ? eLabel : eName;",
     "return name.c_str()[0] == L'@' ? eName : eLabel;", "branch: labels and names swapped"),
    ("model/object_ref.cpp", "if (it != chain.rbegin()) out += L\"::\";", "out += L\"::\";",
     "condition: encoded name starts with ::"),
    ("model/object_ref.cpp", "last = new ClumObjectRef(ClumIdent());", "", "statement: leading :: dropped"),
    ("model/reference.cpp", "&& !object->GetMetaClass().IsKindOf(&targetClass)) {",
     "&& object->GetMetaClass().IsKindOf(&targetClass)) {", "condition: binding checks the type backwards"),
    ("model/reference.cpp", "if (!piece.empty() && piece.back() == L']' && open != WString::npos) piece.erase(open);", "",
     "statement: exception [..] suffix kept"),
    ("model/reference.cpp", "} else if (word == L\"const\") {", "} else if (word == L\"Const\") {",
     "constant: const parameters not seen"),
    ("model/feature_common.cpp", "name += L\"::\";", "name += L\".\";", "constant: qualified feature name"),
    ("model/attribute_codec.cpp", "out.clear();\n    tPointVector::Encode(value, out);", "tPointVector::Encode(value, out);",
     "statement: point list appended to old text"),
    # reader
    ("reader/vellum_lexer.cpp", "if (m_nCurrent == '\\n') ++m_nLine;", "", "statement: lines between tokens not counted"),
    ("reader/vellum_lexer.cpp", "if (!first) out += L\"\\r\\n\";", "if (!first) out += L\"\\n\";",
     "constant: bar lines joined by LF"),
    ("reader/vellum_lexer.cpp", "escaped = true;", "escaped = false;", "statement: backslash escapes nothing"),
    ("reader/vellum_lexer.cpp", "if (--depth == 0 && !includeClose) {", "if (--depth == 1 && !includeClose) {",
     "constant: balanced text ends a level early"),
    ("reader/vellum_lexer.cpp", "if (next == EndOfFile || IsSpace(next)) return true;",
     "if (next == EndOfFile) return true;", "condition: lone @ takes the next word"),
    ("reader/vellum_reader.cpp",
     "void tVellumReader::ReportAtLine(diag::Code code, tError::Severity severity, const wchar_t* format, ...) {\n    if (severity == tError::InternalError) return;",
     "void tVellumReader::ReportAtLine(diag::Code code, tError::Severity severity, const wchar_t* format, ...) {",
     "statement: internal errors reported"),
    ("reader/vellum_reader.cpp", "return keyword == L\"object\" || keyword == L\"list\" || keyword == L\"value\";",
     "return keyword == L\"object\" || keyword == L\"list\";", "condition: value constructs not structured"),
    ("reader/model_builder.cpp", "if (keyword == L\"list\") return Kind::List;", "", "statement: lists read as elements"),
    ("reader/model_builder.cpp", "const std::size_t count = IsA(object, ClumModView::StaticGetMetaClass()) ? 4 : 3;",
     "const std::size_t count = 3;", "constant: module views lose their quid"),
    ("reader/model_builder.cpp", "arguments[0].starts_with(L'@') ? L\"quid\" : L\"name\"",
     "arguments[0].starts_with(L'@') ? L\"name\" : L\"quid\"", "branch: one header argument goes to the wrong feature"),
    ("reader/model_builder.cpp", "if (flags != o.flags) return flags < o.flags;", "",
     "statement: fonts differing in style shared"),
    ("reader/model_builder.cpp", "if (unit->is_unit.Get() && !unit->is_loaded.Get() && !unit->file_name.IsEmpty())",
     "if (unit->is_unit.Get() && !unit->file_name.IsEmpty())", "condition: loaded units listed as pending"),
    ("reader/link_decoder.cpp", "if (object->GetMetaClass().IsKindOf(feature.GetType())) {",
     "if (!object->GetMetaClass().IsKindOf(feature.GetType())) {", "condition: link values of the wrong type kept"),
    ("reader/parser.cpp", "if (file->design.GetSize() + file->unit.GetSize() > 0) {",
     "if (file->design.GetSize() + file->unit.GetSize() > 1) {", "comparison: a file with one design dropped"),
    ("reader/parser.cpp", "file.fileName.Set(fileName);", "", "statement: file name not recorded"),
    # loading
    ("loading/path_resolver.cpp", "const wint_t cb = std::towlower(static_cast<wint_t>(b[i]));",
     "const wint_t cb = static_cast<wint_t>(b[i]);", "statement: symbols compared by case on one side"),
    ("loading/path_resolver.cpp", "if (marker < component.size() && component[marker] == L'&') {",
     "if (marker < component.size() && component[marker] == L'%') {", "constant: & no longer the current folder"),
    ("loading/path_resolver.cpp", "if (!m_rootDir.empty()) m_rootDir.pop_back();", "",
     "statement: root folder keeps the file name"),
    ("loading/path_resolver.cpp", "if (IsNetworkPath(path)) pieces.front().insert(0, L\"\\\\\\\\\");",
     "if (IsNetworkPath(path)) {}", "statement: network paths lose their \\\\"),
    ("loading/path_resolver.cpp", "return path.size() >= 3 && path[0] == L'\\\\' && path[1] == L'\\\\';",
     "return path.size() > 3 && path[0] == L'\\\\' && path[1] == L'\\\\';", "comparison: shortest network path"),
    ("loading/path_resolver.cpp", "if (cursor > start) out.push_back(WString(name.substr(start, cursor - start)));",
     "if (cursor > start + 1) out.push_back(WString(name.substr(start, cursor - start)));",
     "comparison: one-letter wildcard argument dropped"),
    ("loading/path_map_file.cpp", "} else if (byte == '\\n' || byte == ';') {", "} else if (byte == '\\n') {",
     "condition: ; no longer separates entries"),
    ("loading/path_map_file.cpp", "if (inPath && !symbol.empty() && !path.empty()) AddPath(symbol, path);", "",
     "statement: last line without newline lost"),
    ("loading/manager.cpp", "unit->is_loaded.Set(true);", "", "statement: grafted units not marked loaded"),
    ("loading/manager.cpp", "unit->file_name.Set(file.fileName.Get());", "",
     "statement: grafted units keep the stored path"),
    ("loading/manager.cpp", "if (!document->external_doc_path.IsEmpty()) {", "if (document->external_doc_path.IsEmpty()) {",
     "condition: external documents not resolved"),
    ("loading/find_file.cpp", "WString::SetLocalePage(65001);", "", "statement: found names decoded in the model's page"),
    # resolve
    ("resolve/collector.cpp", "path.emplace_back();", "", "statement: leading :: lost in a qualified name"),
    ("resolve/collector.cpp", "plainName = std::wcschr(name.c_str(), L':') == nullptr;",
     "plainName = std::wcschr(name.c_str(), L':') != nullptr;", "comparison: simple and qualified names swapped"),
    ("resolve/collector.cpp", "if (!m_contexts.empty() && quid.c_str()[0] == L'@')",
     "if (!m_contexts.empty() && quid.c_str()[0] == L'#')", "constant: labels not indexed"),
    ("resolve/collector.cpp", "name == m_quidu || name == m_supplierQuidu || name == m_clientQuidu;",
     "name == m_quidu || name == m_supplierQuidu;", "condition: client_quidu bound by name"),
    ("resolve/collector.cpp", "plan.isContext = plan.isFile || metaClass.IsKindOf(&ClumClass_Category::StaticGetMetaClass());",
     "plan.isContext = plan.isFile;", "condition: categories are no label context"),
    ("resolve/name_resolver.cpp", "if (found == nullptr || m_cache.Size(*found) != 1) return false;",
     "if (found == nullptr) return false;", "condition: ambiguous labels bound"),
    ("resolve/name_resolver.cpp", "if (roleSupplier && metaClass.IsKindOf(m_classes.association)) continue;", "",
     "statement: role suppliers may be associations"),
    ("resolve/name_resolver.cpp", "if ((a.first < 0) != (b.first < 0)) return b.first < 0;",
     "if ((a.first < 0) != (b.first < 0)) return a.first < 0;", "branch: unrelated candidates ranked first"),
    ("resolve/name_resolver.cpp", "score = (meeting->second - 1) + (climbed - 1);", "score = (meeting->second - 1);",
     "statement: distance down to the candidate ignored"),
    ("resolve/name_resolver.cpp", "if (!ownerIsView && (metaClass.IsKindOf(m_classes.diagramItem)",
     "if (ownerIsView && (metaClass.IsKindOf(m_classes.diagramItem)", "condition: views bind to views"),
    ("resolve/name_resolver.cpp", "all = BindValue(gathered, feature, reference.GetObjectRef(i)) && all;",
     "all = all && BindValue(gathered, feature, reference.GetObjectRef(i));",
     "branch: values after a miss not bound"),
    ("resolve/resolver_cache.cpp", "if (node == Root) return Root;", "", "statement: a path with a missing part goes on"),
    ("resolve/resolver_cache.cpp", "for (int v = 0; v < reference->GetCount(); ++v)",
     "for (int v = 0; v + 1 < reference->GetCount(); ++v)", "comparison: last value of a list not a referrer"),
    # traverse
    ("traverse/filters.cpp", "if (ask(*filter)) return true;", "if (!ask(*filter)) return true;",
     "condition: or-filter inverted"),
    ("traverse/filters.cpp", "if (result) return false;", "", "statement: xor of two true is true"),
    ("traverse/filters.cpp", "return index < m_filters.size() ? m_filters[index] : nullptr;",
     "return index + 1 < m_filters.size() ? m_filters[index] : nullptr;", "comparison: last filter not found"),
    ("traverse/non_recursive_visitor.cpp", "if (!OnVisit(entity)) continue;", "if (!OnVisit(entity)) break;",
     "statement: a refused object stops the walk"),
    ("traverse/pretty_printer.cpp", "for (int i = 0; i < m_nIndent; ++i) m_out << L\"    \";",
     "for (int i = 1; i < m_nIndent; ++i) m_out << L\"    \";", "constant: one indent level less"),
    ("traverse/pretty_printer.cpp", "Write(L\" = ref \");", "Write(L\" = \");", "constant: references not marked"),
    ("traverse/pruner.cpp", "if (m_pFilter->IsEnabled(entity)) {", "if (!m_pFilter->IsEnabled(entity)) {",
     "condition: pruner keeps what it should drop"),
    ("traverse/pruner.cpp", "for (int i = link->GetSize() - 1; i >= 0; --i) {", "for (int i = link->GetSize() - 1; i > 0; --i) {",
     "comparison: first child of a refused link kept"),
    ("traverse/tree_remover.cpp", "m_pCollected = roots.size() > 1 ? &collected : nullptr;", "m_pCollected = nullptr;",
     "statement: overlapping roots deleted twice"),
    ("traverse/utility_functions.cpp", "for (std::size_t i = path.size() - 1; i >= 1; --i) {",
     "for (std::size_t i = path.size() - 1; i >= 2; --i) {", "comparison: short file name of a one-letter folder"),
    ("traverse/utility_functions.cpp", "return association != nullptr && association->roles.GetSize() == 2;",
     "return association != nullptr && association->roles.GetSize() >= 2;", "comparison: n-ary is binary"),
    ("traverse/utility_functions.cpp", "if (symbol->label.GetSize() == 1) return symbol->label.Get(0)->label.Get();", "",
     "statement: symbol labels not used for line ends"),
    ("traverse/utility_functions.cpp", "if (supplier == nullptr) supplier = Reference(line, keywords.quidu);", "",
     "statement: quidu not a supplier end"),
    ("traverse/utility_functions.cpp", "return static_cast<const ClumUseCase*>(entity)->abstract.Get();", "return false;",
     "constant: abstract use cases"),
]

# The programs that test the mutated layers: theirs, and the front door's,
# which checks the sample model through all of them.
UNIT_SUBSYSTEMS = ["platform", "text", "diagnostics", "meta", "model", "reader", "loading", "resolve", "traverse",
                   "document"]


def mutant_ids():
    counts, ids = {}, []
    for path, _, _, _ in MUTANTS:
        subsystem = path.split("/")[0]
        counts[subsystem] = counts.get(subsystem, 0) + 1
        ids.append("%s-%02d" % (subsystem, counts[subsystem]))
    return ids


def pattern_of(text):
    """Runs of white space in the text match any run of white space."""
    parts = re.split(r"(\s+)", text)
    return re.compile("".join(r"\s+" if p.strip() == "" and p else re.escape(p) for p in parts))


def locate(tree, path, text):
    """The (start, end) of the one place the text occurs, or an error message."""
    full = os.path.join(tree, "src", path)
    if not os.path.exists(full):
        return None, "file gone"
    with open(full, encoding="utf-8") as f:
        source = f.read()
    found = list(pattern_of(text).finditer(source))
    if len(found) != 1:
        return None, "text found %d times" % len(found)
    return (source, found[0].start(), found[0].end()), None


def run(command, log, timeout=None, cwd=None):
    with open(log, "a") as out:
        out.write("$ " + " ".join(command) + "\n")
        out.flush()
        try:
            return subprocess.run(command, stdout=out, stderr=subprocess.STDOUT, timeout=timeout, cwd=cwd).returncode
        except subprocess.TimeoutExpired:
            out.write("timed out\n")
            return None


def copy_tree(source, tree):
    """Makes tree a copy of the files git knows in source (tracked or untracked, not ignored).
    Files already equal are left alone, so the build in the work folder stays current."""
    listed = subprocess.run(["git", "-C", source, "ls-files", "-z", "--cached", "--others", "--exclude-standard"],
                            check=True, capture_output=True).stdout.decode().split("\0")
    wanted = set()
    for relative in filter(None, listed):
        src = os.path.join(source, relative)
        if not os.path.isfile(src):
            continue
        wanted.add(os.path.normpath(relative))
        dst = os.path.join(tree, relative)
        with open(src, "rb") as f:
            data = f.read()
        if os.path.isfile(dst):
            with open(dst, "rb") as f:
                if f.read() == data:
                    continue
        os.makedirs(os.path.dirname(dst), exist_ok=True)
        with open(dst, "wb") as f:
            f.write(data)
    for folder, _, names in os.walk(tree):
        for name in names:
            relative = os.path.normpath(os.path.relpath(os.path.join(folder, name), tree))
            if relative not in wanted:
                os.remove(os.path.join(folder, name))


def unit_targets(tree):
    return ["lum_%s_tests" % s for s in UNIT_SUBSYSTEMS
            if os.path.isdir(os.path.join(tree, "tests", s))
            and any(n.endswith(".cpp") for n in os.listdir(os.path.join(tree, "tests", s)))]


def build(build_dir, targets, jobs, log, timeout):
    return run(["cmake", "--build", build_dir, "-j%d" % jobs, "--target"] + targets, log, timeout) == 0


def test(build_dir, targets, jobs, per_test_timeout, log, stop_on_failure):
    """True when every unit test program passes. The programs run one after
    another (each holds many tests; `jobs` is for the build), each within
    `per_test_timeout` seconds."""
    passed = True
    for target in targets:
        if run([os.path.join(build_dir, "tests", target)], log, per_test_timeout) != 0:
            passed = False
            if stop_on_failure:
                break
    return passed


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    parser.add_argument("--source", default=root, help="the tree to copy (default: this repository)")
    parser.add_argument("--work", default=os.path.join(root, "build-mutate"), help="the copy and its build")
    parser.add_argument("--tree", help="mutate this tree in place instead of a copy (restored after each mutant)")
    parser.add_argument("--only", nargs="+", metavar="ID", help="run only these mutants")
    parser.add_argument("--list", action="store_true", help="list the mutants and check they apply")
    parser.add_argument("--jobs", type=int, default=os.cpu_count() or 2)
    parser.add_argument("--timeout", type=int, default=60, help="seconds per test (default 60)")
    args = parser.parse_args()

    ids = mutant_ids()
    chosen = [i for i, mid in enumerate(ids) if not args.only or mid in args.only]
    if args.only and len(chosen) != len(args.only):
        print("unknown mutant in --only; --list shows them", file=sys.stderr)
        return 2

    if args.list:
        stale = 0
        for i in chosen:
            path, text, _, what = MUTANTS[i]
            _, problem = locate(args.tree or args.source, path, text)
            stale += problem is not None
            print("%-15s %-34s %s%s" % (ids[i], path, what, "  [STALE: %s]" % problem if problem else ""))
        print("%d mutants, %d stale" % (len(chosen), stale))
        return 0

    work = os.path.abspath(args.work)
    os.makedirs(work, exist_ok=True)
    log = os.path.join(work, "mutate.log")
    open(log, "w").close()
    if args.tree:
        tree = os.path.abspath(args.tree)
        if os.path.samefile(tree, root) or os.path.samefile(tree, args.source):
            print("--tree names the tree this script runs from; give a copy", file=sys.stderr)
            return 2
    else:
        tree = os.path.join(work, "tree")
        copy_tree(os.path.abspath(args.source), tree)
    build_dir = os.path.join(work, "build")
    if run(["cmake", "-S", tree, "-B", build_dir, "-DCMAKE_BUILD_TYPE=Release", "-DLUM_BUILD_TOOL=OFF",
            "-DLUM_BUILD_EXAMPLES=OFF", "-DLUM_BUILD_BENCHMARKS=OFF", "-DLUM_BUILD_FUZZERS=OFF",
            "-DLUM_BUILD_PYTHON=OFF"], log) != 0:
        print("configuring failed; see " + log, file=sys.stderr)
        return 2
    targets = unit_targets(tree)
    started = time.time()
    if not build(build_dir, targets, args.jobs, log, None) or not test(build_dir, targets, args.jobs, args.timeout,
                                                                        log, False):
        print("the unmutated tree does not build or pass its unit tests; see " + log, file=sys.stderr)
        return 2
    total_tests = sum(int(re.search(r"(\d+) tests? from \d+ test suites? ran", subprocess.run(
        [os.path.join(build_dir, "tests", target)], capture_output=True, text=True).stdout).group(1))
        for target in targets)
    print("baseline: %d unit tests in %s, built and passed in %.0f s" % (
        total_tests, ", ".join(targets), time.time() - started), flush=True)

    killed, survived, not_viable, stale = [], [], [], []
    for i in chosen:
        path, text, replacement, what = MUTANTS[i]
        found, problem = locate(tree, path, text)
        if problem:
            stale.append((ids[i], problem))
            print("%-15s stale (%s)" % (ids[i], problem), flush=True)
            continue
        source, start, end = found
        full = os.path.join(tree, "src", path)
        with open(log, "a") as out:
            out.write("\n=== %s %s: %s\n" % (ids[i], path, what))
        t0 = time.time()
        try:
            with open(full, "w", encoding="utf-8") as f:
                f.write(source[:start] + replacement + source[end:])
            if not build(build_dir, ["lum"], args.jobs, log, 900):
                verdict = "not viable"
                not_viable.append(ids[i])
            elif not build(build_dir, targets, args.jobs, log, 900) or \
                    not test(build_dir, targets, args.jobs, args.timeout, log, True):
                verdict = "killed"
                killed.append(ids[i])
            else:
                verdict = "SURVIVED"
                survived.append((ids[i], path, what))
        finally:
            with open(full, "w", encoding="utf-8") as f:
                f.write(source)
        print("%-15s %-10s %4.0f s  %s: %s" % (ids[i], verdict, time.time() - t0, path, what), flush=True)

    # Leave the build matching the unmutated tree.
    build(build_dir, targets, args.jobs, log, None)
    viable = len(killed) + len(survived)
    print()
    print("killed %d/%d viable mutants (%d not viable, %d stale, %d listed) in %.0f s" % (
        len(killed), viable, len(not_viable), len(stale), len(chosen), time.time() - started))
    for mid, path, what in survived:
        print("  survived %-15s %s: %s" % (mid, path, what))
    for mid in not_viable:
        print("  not viable " + mid)
    for mid, problem in stale:
        print("  stale %s (%s)" % (mid, problem))
    return 0


if __name__ == "__main__":
    sys.exit(main())
