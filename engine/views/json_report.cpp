#include "engine/views/json_report.h"

#include <nlohmann/json.hpp>

namespace brenvik {

std::string ReportJson(const CommandReport& report, const std::string& version) {
    // Ordered: the fields read in the order the report documents them.
    using Json = nlohmann::ordered_json;
    Json findings = Json::array();
    for (const ResultRecord& r : report.records) {
        findings.push_back({{"id", r.id.empty() ? Json(nullptr) : Json(r.id)},
                            {"location", r.location},
                            {"path", r.path},
                            {"rule", r.rule},
                            {"site", r.site},
                            {"target", r.target},
                            {"arguments", r.arguments},
                            {"action", r.action},
                            {"result", OutcomeName(r.result)},
                            {"error", r.error}});
    }
    const Summary summary = Summarize(report.records);
    Json json{{"tool", "Brenvik"},
              {"version", version},
              {"command", report.command},
              {"computer", report.computer},
              {"user", report.user},
              {"started", report.started},
              {"finished", report.finished},
              {"backup", report.backup.empty() ? Json(nullptr) : Json(report.backup)},
              {"findings", std::move(findings)},
              {"summary",
               {{"found", summary.found},
                {"fixed", summary.fixed},
                {"failed", summary.failed},
                {"skipped", summary.skipped},
                {"ignored", summary.ignored},
                {"reported", summary.reported}}}};
    // Only a fix looks again after its repairs.
    if (report.command == "fix")
        json["summary"]["came_back"] = summary.cameBack;
    return json.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

}  // namespace brenvik
