#include "write/layout.h"

#include <algorithm>
#include <map>
#include <memory>
#include <string_view>

#include "lum/meta/meta_class.h"
#include "lum/meta/meta_feature.h"
#include "lum/meta/meta_provider.h"
#include "lum/model/classes.h"

namespace lum::write {

namespace {

struct tClassOrder {
    const wchar_t* keyword;
    std::vector<const wchar_t*> features;
};

// The order of the features each class is seen with in saved models. A
// feature not listed follows the listed ones in the general order.
const tClassOrder kOrders[] = {
    {L"ActionTime", {L"when"}},
    {L"Association", {L"quid", L"documentation", L"roles"}},
    {L"AssociationViewNew", {L"location", L"label", L"line_color", L"quidu", L"roleview_list"}},
    {L"AttachView", {L"line_color", L"client", L"supplier", L"vertices", L"line_style"}},
    {L"Attribute", {L"tool", L"name", L"value"}},
    {L"CategoryView", {L"location", L"font", L"label", L"icon_style", L"line_color", L"fill_color", L"quidu", L"width",
                       L"height"}},
    {L"Class", {L"quid", L"stereotype", L"documentation", L"attributes", L"superclasses", L"used_nodes",
                L"external_docs", L"cardinality", L"persistence", L"abstract", L"operations", L"class_attributes",
                L"language", L"statemachine"}},
    {L"ClassAttribute", {L"quid", L"documentation", L"type", L"quidu", L"initv", L"Containment", L"static",
                         L"exportControl"}},
    {L"ClassDiagram", {L"quid", L"title", L"zoom", L"max_height", L"max_width", L"origin_x", L"origin_y", L"items"}},
    {L"ClassView", {L"ShowCompartmentStereotypes", L"SuppressAttribute", L"IncludeAttribute", L"IncludeOperation",
                    L"location", L"font", L"label", L"stereotype", L"icon", L"icon_style", L"line_color",
                    L"fill_color", L"quidu", L"compartment", L"width", L"height", L"annotation", L"autoResize"}},
    {L"Class_Category", {L"is_unit", L"is_loaded", L"file_name", L"quid", L"exportControl", L"documentation",
                         L"global", L"subsystem", L"quidu", L"visible_categories", L"logical_models",
                         L"logical_presentations"}},
    {L"Compartment", {L"Parent_View", L"location", L"font", L"icon_style", L"fill_color", L"anchor", L"nlines",
                      L"max_width", L"compartmentItems"}},
    {L"Design", {L"is_unit", L"is_loaded", L"quid", L"enforceClosureAutoLoad", L"defaults", L"root_usecase_package",
                 L"root_category", L"root_subsystem", L"process_structure", L"properties"}},
    {L"Event", {L"quid", L"parameters"}},
    {L"Font", {L"size", L"face", L"bold", L"italics", L"underline", L"strike", L"color", L"default_color"}},
    {L"ImportView", {L"line_color", L"quidu", L"client", L"supplier", L"vertices", L"line_style"}},
    {L"InheritTreeView", {L"location", L"line_color", L"fill_color", L"supplier", L"vertices"}},
    {L"InheritView", {L"line_color", L"quidu", L"client", L"supplier", L"drawSupplier", L"vertices", L"line_style"}},
    {L"Inheritance_Relationship", {L"quid", L"supplier", L"quidu", L"exportControl"}},
    {L"ItemLabel", {L"Parent_View", L"location", L"fill_color", L"nlines", L"max_width", L"justify", L"label"}},
    {L"NoteView", {L"location", L"font", L"label", L"line_color", L"fill_color", L"width", L"height"}},
    {L"Operation", {L"quid", L"documentation", L"attributes", L"parameters", L"result", L"quidu", L"exceptions",
                    L"pre_condition", L"concurrency", L"opExportControl", L"const", L"uid"}},
    {L"Parameter", {L"quid", L"type", L"quidu"}},
    {L"Processes", {L"quid", L"ProcsNDevs"}},
    {L"Processor", {L"quid", L"characteristics", L"scheduling"}},
    {L"Properties", {L"attributes", L"quid"}},
    {L"Role", {L"quid", L"label", L"supplier", L"quidu", L"client_cardinality", L"Containment", L"is_aggregate",
               L"is_navigable", L"is_principal"}},
    {L"RoleView", {L"Parent_View", L"location", L"font", L"label", L"line_color", L"quidu", L"client", L"supplier",
                   L"vertices", L"line_style"}},
    {L"SegLabel", {L"Parent_View", L"location", L"anchor", L"anchor_loc", L"nlines", L"max_width", L"justify",
                   L"label", L"pctDist", L"height", L"orientation"}},
    {L"State", {L"quid", L"documentation", L"actions", L"type", L"transitions"}},
    {L"StateView", {L"location", L"font", L"label", L"icon_style", L"fill_color", L"line_color", L"quidu", L"width",
                    L"height", L"autoResize"}},
    {L"State_Diagram", {L"quid", L"title", L"zoom", L"max_height", L"max_width", L"origin_x", L"origin_y", L"items"}},
    {L"State_Machine", {L"quid", L"states", L"statediagrams"}},
    {L"State_Transition", {L"quid", L"label", L"supplier", L"supplier_quidu", L"condition", L"Event"}},
    {L"SubSystem", {L"quid", L"category", L"quidu", L"physical_models"}},
    {L"TransView", {L"label", L"line_color", L"quidu", L"client", L"supplier", L"vertices", L"line_style",
                    L"x_offset"}},
    {L"UseCase", {L"quid", L"documentation", L"superclasses", L"rank"}},
    {L"UseCaseDiagram", {L"quid", L"title", L"zoom", L"max_height", L"max_width", L"origin_x", L"origin_y", L"items"}},
    {L"UseCaseView", {L"location", L"font", L"label", L"icon_style", L"line_color", L"fill_color", L"quidu",
                      L"height"}},
    {L"UsesView", {L"line_color", L"quidu", L"client", L"supplier", L"vertices", L"line_style"}},
    {L"Uses_Relationship", {L"quid", L"supplier", L"quidu", L"exportControl"}},
    {L"Vellum", {L"version", L"_written", L"charSet"}},
    {L"Visibility_Relationship", {L"quid", L"supplier", L"quidu"}},
    {L"action", {L"quid", L"ActionTime"}},
    {L"defaults", {L"rightMargin", L"leftMargin", L"topMargin", L"bottomMargin", L"pageOverlap", L"clipIconLabels",
                   L"autoResize", L"snapToGrid", L"gridX", L"gridY", L"defaultFont", L"showMessageNum",
                   L"showClassOfObject", L"notation"}},
    {L"external_doc", {L"external_doc_path", L"external_doc_url"}},
    {L"module", {L"quid", L"language"}},
};

struct tListName {
    const wchar_t* feature;
    const wchar_t* list;
    bool always = true;  // a list even for one object
};

const tListName kListNames[] = {
    {L"ProcsNDevs", L""},
    {L"actions", L"Actions"},
    {L"attributes", L"Attribute_Set"},
    {L"class_attributes", L"class_attribute_list"},
    {L"compartmentItems", L"Compartment_items"},
    {L"external_docs", L"external_doc_list"},
    {L"items", L"diagram_item_list"},
    {L"logical_models", L"unit_reference_list"},
    {L"logical_presentations", L"unit_reference_list"},
    {L"operations", L"Operations"},
    {L"parameters", L"Parameters"},
    {L"physical_models", L"unit_reference_list"},
    {L"physical_presentations", L"unit_reference_list"},
    {L"roles", L"role_list"},
    {L"roleview_list", L"RoleViews"},
    {L"statediagrams", L"StateDiagrams"},
    {L"states", L"States"},
    {L"superclasses", L"inheritance_relationship_list"},
    {L"transitions", L"transition_list"},
    {L"value", L"Attribute_Set", false},
    {L"used_nodes", L"uses_relationship_list"},
    {L"visible_categories", L"visibility_relationship_list"},
};

// Unit features first, then the quid, then each class's own features from
// the root down.
std::vector<const ClumMetaFeature*> GeneralOrder(const ClumMetaClass& metaClass) {
    std::vector<const ClumMetaFeature*> features(metaClass.m_allFeatures.begin(), metaClass.m_allFeatures.end());
    std::stable_sort(features.begin(), features.end(), [](const ClumMetaFeature* a, const ClumMetaFeature* b) {
        // Base classes have lower indices, and so do their features.
        return a->GetOwner().GetIndex() < b->GetOwner().GetIndex();
    });
    auto rank = [](const ClumMetaFeature* f) {
        if (&f->GetOwner() == &ClumUnitObject::StaticGetMetaClass()) return 0;
        return f->GetName() == ClumIdent(L"quid") ? 1 : 2;
    };
    std::stable_sort(features.begin(), features.end(),
                     [&](const ClumMetaFeature* a, const ClumMetaFeature* b) { return rank(a) < rank(b); });
    return features;
}

std::vector<const ClumMetaFeature*> MakeOrder(const ClumMetaClass& metaClass) {
    std::vector<const ClumMetaFeature*> general = GeneralOrder(metaClass);
    std::vector<const ClumMetaFeature*> order;
    const std::wstring_view keyword(metaClass.GetName().c_str());
    for (const tClassOrder& entry : kOrders) {
        if (keyword != entry.keyword) continue;
        for (const wchar_t* name : entry.features) {
            const ClumIdent ident(name);
            const auto found = std::find_if(general.begin(), general.end(),
                                            [&](const ClumMetaFeature* f) { return f->GetName() == ident; });
            if (found == general.end()) continue;
            order.push_back(*found);
            general.erase(found);
        }
    }
    order.insert(order.end(), general.begin(), general.end());
    return order;
}

// Features saved models write even when they hold their default (0, FALSE
// or the first literal), by class keyword.
const tClassOrder kAlwaysWritten[] = {
    {L"AttachView", {L"line_style"}},
    {L"Design", {L"enforceClosureAutoLoad"}},
    {L"Font", {L"size", L"bold", L"italics", L"underline", L"strike", L"color", L"default_color"}},
    {L"ImportView", {L"line_style"}},
    {L"InheritView", {L"line_style"}},
    {L"Operation", {L"concurrency", L"uid"}},
    {L"RoleView", {L"line_style"}},
    {L"ActionTime", {L"when"}},
    {L"Processor", {L"scheduling"}},
    {L"SegLabel", {L"orientation"}},
    {L"TransView", {L"line_style", L"x_offset"}},
    {L"UsesView", {L"line_style"}},
    {L"Vellum", {L"charSet"}},
};

// Whether saved models write the feature even when it holds its default.
bool IsAlwaysWritten(const ClumMetaClass& metaClass, const ClumIdent& feature) {
    const std::wstring_view keyword(metaClass.GetName().c_str());
    const std::wstring_view name(feature.c_str());
    for (const tClassOrder& entry : kAlwaysWritten) {
        if (keyword != entry.keyword) continue;
        for (const wchar_t* always : entry.features) {
            if (name == always) return true;
        }
    }
    return false;
}

// The keyword padded to the value column, then a blank and a tab.
std::string KeyOf(const ClumIdent& name) {
    constexpr std::size_t kNameColumn = 10;
    std::string key;
    for (const wchar_t* ch = name.c_str(); *ch != 0; ++ch) key += static_cast<char>(*ch);
    if (key.size() < kNameColumn) key.append(kNameColumn - key.size(), ' ');
    key += " \t";
    return key;
}

}  // namespace

const tClassLayout& tWritingOrders::Of(const ClumMetaClass& metaClass) {
    const std::size_t index = metaClass.GetIndex();
    if (index >= m_layouts.size()) m_layouts.resize(index + 1);
    std::unique_ptr<tClassLayout>& slot = m_layouts[index];
    if (slot) return *slot;
    slot = std::make_unique<tClassLayout>();
    tClassLayout& layout = *slot;
    for (const ClumMetaFeature* feature : MakeOrder(metaClass)) {
        layout.placeOf.emplace(feature->GetName().c_str(), layout.features.size());
        layout.features.push_back({feature, KeyOf(feature->GetName()), IsAlwaysWritten(metaClass, feature->GetName())});
        if (feature->GetKind() != ClumMetaFeature::eAttribute) continue;
        if (feature->GetName() == ClumIdent(L"name")) layout.name = feature;
        if (feature->GetName() == ClumIdent(L"quid")) layout.quid = feature;
    }
    auto is = [&](const ClumMetaClass& other) { return metaClass.IsKindOf(&other); };
    if (is(Clummodule::StaticGetMetaClass())) layout.header = tHeaderKind::Module;
    else if (is(ClumModView::StaticGetMetaClass())) layout.header = tHeaderKind::ModView;
    else if (is(ClumStateView::StaticGetMetaClass())) layout.header = tHeaderKind::StateView;
    else if (is(ClumVellumObject::StaticGetMetaClass())) layout.header = tHeaderKind::Named;
    layout.value = is(ClumVellumValue::StaticGetMetaClass());
    layout.unit = is(ClumUnitObject::StaticGetMetaClass());
    layout.parameter = is(ClumParameter::StaticGetMetaClass());
    layout.classView = is(ClumClassView::StaticGetMetaClass());
    layout.line = is(ClumLine::StaticGetMetaClass());
    return layout;
}

const wchar_t* ListName(const ClumIdent& feature, bool& always) {
    const std::wstring_view name(feature.c_str());
    for (const tListName& entry : kListNames) {
        if (name != entry.feature) continue;
        always = entry.always;
        return entry.list;
    }
    always = false;
    return nullptr;
}

}  // namespace lum::write
