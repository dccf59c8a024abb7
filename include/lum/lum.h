#pragma once
// The whole public interface of lum.
//
// The outputs (json, xmi, papyrus, render, the uml outline, diff, publish, write)
// follow one pattern:
// - Options: each output namespace takes its options as <namespace>::Options
//   (write::FileOptions for one file object); lum::LoadOptions are the front
//   door's.
// - Results: every writer answers whether all it wrote arrived, and none
//   throws because its output cannot be written. A writer to a stream
//   flushes it and returns bool, false when the stream failed (the stream
//   tells why). A writer of files or to a byte sink returns a summary whose
//   `ok` is that answer and whose `error` (`errors` for write::WriteBack, one
//   per file not written) tells which file and why.

#include "lum/version.h"

#include "lum/text/wstring.h"
#include "lum/text/ident.h"
#include "lum/text/codecs.h"
#include "lum/text/location.h"
#include "lum/text/enums.h"
#include "lum/text/utf8.h"
#include "lum/text/markup.h"
#include "lum/text/json_writer.h"

#include "lum/diagnostics/error.h"
#include "lum/diagnostics/error_list.h"
#include "lum/diagnostics/reporter.h"
#include "lum/diagnostics/exceptions.h"
#include "lum/diagnostics/codes.h"
#include "lum/diagnostics/diagnostic.h"

#include "lum/meta/meta_class.h"
#include "lum/meta/meta_feature.h"
#include "lum/meta/meta_provider.h"
#include "lum/meta/class_factory.h"
#include "lum/meta/lifetime.h"
#include "lum/meta/value_type.h"

#include "lum/model/entity.h"
#include "lum/model/feature.h"
#include "lum/model/attribute.h"
#include "lum/model/link.h"
#include "lum/model/object_ref.h"
#include "lum/model/reference.h"
#include "lum/model/classes.h"

#include "lum/reader/link_decoder.h"
#include "lum/loading/path_resolver.h"
#include "lum/loading/manager.h"
#include "lum/loading/find_file.h"
#include "lum/resolve/name_resolver.h"
#include "lum/reader/parser.h"
#include "lum/reader/vellum_lexer.h"
#include "lum/reader/vellum_reader.h"

#include "lum/traverse/meta_visitor.h"
#include "lum/traverse/non_recursive_visitor.h"
#include "lum/traverse/filters.h"
#include "lum/traverse/pruner.h"
#include "lum/traverse/tree_remover.h"
#include "lum/traverse/pretty_printer.h"
#include "lum/traverse/utility_functions.h"
#include "lum/traverse/depth_first.h"
#include "lum/traverse/visit_on_threads.h"

#include "lum/document/load_options.h"
#include "lum/document/model.h"

#include "lum/uml/elements.h"
#include "lum/uml/layout.h"
#include "lum/uml/multiplicity.h"
#include "lum/uml/outline.h"
#include "lum/uml/presentation.h"
#include "lum/uml/text_metrics.h"
#include "lum/uml/view.h"

#include "lum/json/export.h"
#include "lum/render/svg.h"
#include "lum/xmi/xmi.h"
#include "lum/papyrus/papyrus.h"
#include "lum/publish/plantuml.h"
#include "lum/publish/site.h"
#include "lum/diff/diff.h"
