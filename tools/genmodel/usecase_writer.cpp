#include "usecase_writer.h"

#include <string>
#include <vector>

#include "diagram_writer.h"
#include "vocabulary.h"

namespace genmodel {

namespace {

struct tCommunication {
    int actor;
    int useCase;
    std::string quid;
    std::string roleQuids[2];
};

void WriteBody(tModelContext& context, tNotationWriter& out, int depth, bool unit, const tPackagePlace& place) {
    tRandom& random = context.random;
    const int d = depth + 1;
    const int m = d + 2;  // features of the model objects
    out.Line(depth, "(object Class_Category ");
    out.Append(Quote(place.element.name));
    if (unit) out.Bool(d, "is_unit", true);
    out.Quoted(d, "quid", place.element.quid);
    out.Quoted(d, "exportControl", "Public");
    out.Bars(d, "documentation", Documentation(random, "use case package", 2));
    out.ListFeature(d, "logical_models", "unit_reference_list");

    std::vector<tElement> actors, useCases;
    std::vector<std::pair<int, std::string>> generalizations;  // use case -> its parent use case, quid
    for (int n = random.Between(2, 5); n > 0; --n) {
        std::string name = ActorName(random) + " " + std::to_string(actors.size() + 1);
        actors.push_back({name, place.element.path + "::" + name, context.NewQuid()});
        out.Line(d + 1, "(object Class ");
        out.Append(Quote(name));
        out.Quoted(m, "quid", actors.back().quid);
        out.Quoted(m, "stereotype", "Actor");
        out.Quoted(m, "documentation", Documentation(random, "actor", 1)[0]);
        out.Quoted(m, "language", "Analysis");
        out.Close();
    }
    for (int n = random.Between(5, 14); n > 0; --n) {
        std::string name = UseCaseName(random) + " " + std::to_string(useCases.size() + 1);
        useCases.push_back({name, place.element.path + "::" + name, context.NewQuid()});
        out.Line(d + 1, "(object UseCase ");
        out.Append(Quote(name));
        out.Quoted(m, "quid", useCases.back().quid);
        out.Bars(m, "documentation", Documentation(random, "use case", random.Between(3, 8)));
        if (useCases.size() > 1 && random.Chance(10)) {
            const int base = random.Below(static_cast<int>(useCases.size()) - 1);
            generalizations.emplace_back(base, context.NewQuid());
            out.ListFeature(m, "superclasses", "inheritance_relationship_list");
            out.Line(m + 1, "(object Inheritance_Relationship");
            out.Quoted(m + 2, "quid", generalizations.back().second);
            out.Quoted(m + 2, "supplier", useCases[static_cast<std::size_t>(base)].path);
            out.Quoted(m + 2, "quidu", useCases[static_cast<std::size_t>(base)].quid);
            out.Close(2);
        } else {
            generalizations.emplace_back(-1, "");
        }
        out.Quoted(m, "rank", std::to_string(random.Between(1, 3)));
        out.Close();
    }
    std::vector<tCommunication> communications;
    for (int u = 0; u < static_cast<int>(useCases.size()); ++u) {
        tCommunication c{random.Below(static_cast<int>(actors.size())), u, context.NewQuid(), {context.NewQuid(), context.NewQuid()}};
        out.Line(d + 1, "(object Association ");
        out.Append(Quote("$UNNAMED$" + std::to_string(context.unnamed++)));
        out.Quoted(m, "quid", c.quid);
        out.ListFeature(m, "roles", "role_list");
        const tElement* ends[2] = {&useCases[static_cast<std::size_t>(u)], &actors[static_cast<std::size_t>(c.actor)]};
        for (int r = 0; r < 2; ++r) {
            out.Line(m + 1, "(object Role ");
            out.Append(Quote("$UNNAMED$" + std::to_string(context.unnamed++)));
            out.Quoted(m + 2, "quid", c.roleQuids[r]);
            out.Quoted(m + 2, "supplier", ends[r]->path);
            out.Quoted(m + 2, "quidu", ends[r]->quid);
            out.Bool(m + 2, r == 0 ? "is_navigable" : "is_principal", true);
            out.Close();
        }
        out.Close(2);
        communications.push_back(std::move(c));
    }
    out.Close();

    out.ListFeature(d, "logical_presentations", "unit_reference_list");
    int labels = 1;
    tDiagramWriter diagram(out, random, labels);
    diagram.BeginDiagram(d + 1, "UseCaseDiagram", "Main", context.NewQuid());
    std::vector<std::pair<int, tPoint>> actorViews, useCaseViews;
    for (std::size_t a = 0; a < actors.size(); ++a) {
        const tPoint at{200, 200 + 400 * static_cast<int>(a)};
        actorViews.emplace_back(diagram.ClassView(actors[a].path, actors[a].name, actors[a].quid, at, "Actor", {}), at);
    }
    for (std::size_t u = 0; u < useCases.size(); ++u) {
        const tPoint at{800 + 500 * static_cast<int>(u % 3), 200 + 260 * static_cast<int>(u / 3)};
        useCaseViews.emplace_back(diagram.UseCaseView(useCases[u].path, useCases[u].name, useCases[u].quid, at), at);
    }
    for (const tCommunication& c : communications) {
        const auto& useCase = useCaseViews[static_cast<std::size_t>(c.useCase)];
        const auto& actor = actorViews[static_cast<std::size_t>(c.actor)];
        diagram.AssociationView("$UNNAMED$", c.quid, {"$UNNAMED$", c.roleQuids[0], useCase.first, useCase.second},
                                {"$UNNAMED$", c.roleQuids[1], actor.first, actor.second});
    }
    for (std::size_t u = 0; u < generalizations.size(); ++u) {
        const auto& [base, quid] = generalizations[u];
        if (base < 0) continue;
        const auto& from = useCaseViews[u];
        const auto& to = useCaseViews[static_cast<std::size_t>(base)];
        diagram.RelationLine("InheritView", quid, from.first, from.second, to.first, to.second);
    }
    diagram.EndDiagram();
    out.Close(2);
}

}  // namespace

void WriteUseCasePackage(tModelContext& context, tNotationWriter& parent, int depth, const tPackagePlace& place) {
    WritePackage(context, parent, depth, place, [&](tNotationWriter& out, int at, bool unit) {
        WriteBody(context, out, at, unit, place);
    });
}

}  // namespace genmodel
