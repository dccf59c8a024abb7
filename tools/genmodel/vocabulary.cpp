#include "vocabulary.h"

#include <cctype>

namespace genmodel {

namespace {

const char* const kNouns[] = {
    "Account",  "Address",   "Invoice",  "Order",    "Customer", "Product",  "Payment",  "Shipment",
    "Ledger",   "Entry",     "Contract", "Schedule", "Route",    "Vehicle",  "Driver",   "Warehouse",
    "Stock",    "Item",      "Price",    "Tariff",   "Claim",    "Policy",   "Agent",    "Branch",
    "Report",   "Session",   "Message",  "Channel",  "Queue",    "Device",   "Sensor",   "Reading",
    "Alarm",    "Rule",      "Batch",    "Job",      "Task",     "Record",   "Document", "Template",
    "Profile",  "User",      "Token",    "Currency", "Rate",     "Tax",      "Discount", "Voucher",
    "Supplier", "Carrier",   "Parcel",   "Zone",     "Region",   "Station",  "Meter",    "Tender",
    "Quote",    "Booking",   "Ticket",   "Seat",     "Journey",  "Visit",    "Patient",  "Dossier",
};
const char* const kModifiers[] = {
    "Pending", "Archived", "Monthly", "Default", "Remote",  "Local",    "Composite", "Simple",
    "Manual",  "Secure",   "Cached",  "Shared",  "Primary", "External", "Internal",  "Draft",
};
const char* const kDomains[] = {
    "Billing",   "Shipping",  "Inventory",  "Accounting", "Customers", "Orders",      "Pricing",
    "Reporting", "Security",  "Messaging",  "Scheduling", "Logistics", "Fleet",       "Claims",
    "Policies",  "Telemetry", "Payroll",    "Procurement", "Warehousing", "Analytics", "Tariffs",
    "Contracts", "Ticketing", "Bookings",   "Metering",   "Tenders",   "Archive",     "Audit",
};
const char* const kVerbs[] = {
    "calculate", "validate", "register", "cancel", "approve", "reject",  "book",   "archive",
    "compute",   "find",     "load",     "store",  "notify",  "publish", "import", "export",
    "assign",    "release",  "reserve",  "merge",  "split",   "close",   "open",   "renew",
};
const char* const kAssociationVerbs[] = {"holds", "places", "owns", "refers to", "covers", "settles", "uses",
                                         "contains", "belongs to", "issues"};
const char* const kStates[] = {"Idle",      "Active",  "Suspended", "Waiting", "Approved", "Rejected",
                               "Cancelled", "Closed",  "Open",      "Overdue", "Archived", "Running",
                               "Failed",    "Blocked", "Verified",  "Settled"};
const char* const kEvents[] = {"submit", "approve", "reject", "timeout", "cancel", "resume",
                               "suspend", "close", "retry", "pay", "expire", "confirm"};
const char* const kActors[] = {"Clerk",   "Manager",  "Auditor",  "Customer", "Courier",   "Scheduler",
                               "Cashier", "Operator", "Supplier", "Inspector", "Dispatcher", "Guest"};
const char* const kDiagramWords[] = {"Overview", "Details", "Structure", "Collaborations", "Persistence",
                                     "Interfaces", "Lifecycle", "Context"};
const char* const kPrimitives[] = {"int", "bool", "double", "long", "char*", "unsigned"};

// Sentences with one %s for the subject. "\x80" is the euro sign, "\xE9"
// e acute, "\x96" an en dash, "\xAB" and "\xBB" guillemets.
const char* const kSentences[] = {
    "Keeps the state of one %s between two saves.",
    "Created by its factory and owned by its container; see the %s notes.",
    "Amounts are in \x80 \x96 a %s never rounds on its own.",
    "May be empty; the %s then takes the defaults of the model.",
    "The caf\xE9 branch in M\xFCnchen keeps its own %s (\xAB" "Filiale\xBB).",
    "Checked every night by the batch; a %s that fails the check is flagged.",
    "Not thread-safe: callers lock the %s themselves.",
    "Se\xF1or G\xF3mez asked for the %s to keep its history \x96 do not purge it.",
    "Persisted in the main schema; the %s table is partitioned by year.",
    "Replaced in release 4 by a simpler %s; kept for old clients.",
    "Prices per %s include 19 % tax (\xA7 12 of the tariff rules).",
    "Derived values are computed on demand, never stored in the %s.",
};

std::string UpperFirst(std::string text) {
    if (!text.empty()) text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    return text;
}
std::string LowerFirst(std::string text) {
    if (!text.empty()) text[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[0])));
    return text;
}

}  // namespace

std::string PackageName(tRandom& random) { return random.Pick(kDomains); }

std::string ClassName(tRandom& random) {
    std::string name;
    if (random.Chance(30)) name += random.Pick(kModifiers);
    name += random.Pick(kNouns);
    if (random.Chance(50)) name += random.Pick(kNouns);
    return name;
}

std::string MemberName(tRandom& random) {
    std::string name = LowerFirst(random.Pick(kNouns));
    if (random.Chance(50)) name += random.Pick(kNouns);
    return name;
}

std::string OperationName(tRandom& random) { return std::string(random.Pick(kVerbs)) + random.Pick(kNouns); }

std::string AssociationName(tRandom& random) { return random.Pick(kAssociationVerbs); }

std::string StateName(tRandom& random) { return random.Pick(kStates); }

std::string EventName(tRandom& random) { return random.Pick(kEvents); }

std::string UseCaseName(tRandom& random) {
    std::string name = UpperFirst(random.Pick(kVerbs));
    name += ' ';
    name += LowerFirst(random.Pick(kNouns));
    if (random.Chance(30)) {
        name += " of ";
        name += LowerFirst(random.Pick(kNouns));
    }
    return name;
}

std::string ActorName(tRandom& random) { return random.Pick(kActors); }

std::string DiagramName(tRandom& random) { return random.Pick(kDiagramWords); }

std::string_view PrimitiveTypeName(tRandom& random) { return random.Pick(kPrimitives); }

std::vector<std::string> Documentation(tRandom& random, std::string_view subject, int lines) {
    std::vector<std::string> text;
    text.reserve(static_cast<std::size_t>(lines));
    for (int i = 0; i < lines; ++i) {
        std::string_view sentence = random.Pick(kSentences);
        const std::size_t slot = sentence.find("%s");
        std::string line(sentence.substr(0, slot));
        line += subject;
        line += sentence.substr(slot + 2);
        text.push_back(std::move(line));
    }
    return text;
}

}  // namespace genmodel
