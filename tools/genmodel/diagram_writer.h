#pragma once
// tDiagramWriter: writes diagrams and the views in them as saved models hold
// them: every view with its location, label objects, often its own font,
// and lines with their "Points" lists. Views carry "@N" labels, unique within
// the enclosing category (the caller's counter), that other views and labels
// refer to; views of model objects refer to them by quidu.

#include <string>
#include <string_view>
#include <vector>

#include "notation_writer.h"
#include "random.h"

namespace genmodel {

class tDiagramWriter {
public:
    // Diagram items go at `depth` + 2 of the diagram object at `depth`.
    tDiagramWriter(tNotationWriter& out, tRandom& random, int& nextLabel) : m_out(out), m_random(random), m_nextLabel(nextLabel) {}

    // "(object <kind> "<name>"" with quid, title, zoom and extent, then the
    // items list opened; EndDiagram closes both.
    void BeginDiagram(int depth, std::string_view kind, std::string_view name, std::string_view quid);
    void EndDiagram() { m_out.Close(2); }

    // Each view returns its label number.
    int ClassView(std::string_view path, std::string_view name, std::string_view quid, tPoint at,
                  std::string_view stereotype, const std::vector<std::string>& compartment);
    int CategoryView(std::string_view path, std::string_view name, std::string_view quid, tPoint at);
    int UseCaseView(std::string_view path, std::string_view name, std::string_view quid, tPoint at);
    int StateView(std::string_view kind, std::string_view name, std::string_view quid, tPoint at);
    // A note with its text, and a line attaching it to the view `target`.
    void Note(const std::vector<std::string>& text, tPoint at, int target, tPoint targetAt);
    // InheritView, UsesView, ImportView, ...: a relationship drawn between two views.
    int RelationLine(std::string_view kind, std::string_view quid, int client, tPoint from, int supplier, tPoint to);
    // An association with its name label and a role view for each end.
    struct tRoleEnd {
        std::string_view name;
        std::string_view quid;
        int view;
        tPoint at;
    };
    void AssociationView(std::string_view name, std::string_view quid, const tRoleEnd& first, const tRoleEnd& second);
    void TransitionView(std::string_view label, std::string_view quid, int client, tPoint from, int supplier, tPoint to);

private:
    int Item() const { return m_depth + 2; }
    int NewLabel() { return m_nextLabel++; }
    void BeginView(std::string_view head, int label);
    void Font(int depth, std::string_view feature);
    void ItemLabel(int depth, std::string_view feature, int parent, tPoint at, std::string_view text, int lines);
    void SegLabel(int depth, int parent, tPoint at, std::string_view text, double distance);
    std::vector<tPoint> Route(tPoint from, tPoint to);
    static std::string At(int label);

    tNotationWriter& m_out;
    tRandom& m_random;
    int& m_nextLabel;
    int m_depth = 0;
};

}  // namespace genmodel
