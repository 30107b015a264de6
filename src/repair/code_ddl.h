// Code object DDL: synonyms, sequences, views, and the stored units
// (functions, procedures, packages, package bodies, types, type bodies)
// rebuilt from their source lines. Triggers are in trigger_ddl.h.
//
// Objects owned by SYS are never re-created. Views, triggers and the
// stored units name the query file they also go into, unless their owner
// is one of Oracle's own schemas (system_schemas.h), and are marked
// retry_when_failed: they may use an object that comes later.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "reader/catalogue.h"
#include "repair/statement_sink.h"

namespace quillon::repair {

inline constexpr std::string_view kPhaseType = "Repairing Type ";
inline constexpr std::string_view kPhaseSynonym = "Repairing Synonyms   ";
inline constexpr std::string_view kPhaseSequence = "Repairing Sequence ";
inline constexpr std::string_view kPhaseView = "Repairing View ";
inline constexpr std::string_view kPhaseFunction = "Repairing Function   ";
inline constexpr std::string_view kPhaseTypeBody = "Repairing Type Body   ";
inline constexpr std::string_view kPhaseProcedure = "Repairing Stored Procedure ";
inline constexpr std::string_view kPhasePackage = "Repairing Package ";
inline constexpr std::string_view kPhasePackageBody = "Repairing Package Body ";

// The query files (in the repair's output folder).
inline constexpr std::string_view kQueryOfFunction = "QueryOfFunction.txt";
inline constexpr std::string_view kQueryOfProcedure = "QueryOfProcedure.txt";
inline constexpr std::string_view kQueryOfPackage = "QueryOfPackage.txt";
inline constexpr std::string_view kQueryOfPackageBody = "QueryOfPackageBody.txt";
inline constexpr std::string_view kQueryOfView = "QueryOfView.txt";
inline constexpr std::string_view kQueryOfTrigger = "QueryOfTrigger.txt";
inline constexpr std::string_view kQueryOfDatabaseLink = "QueryOfDatabaseLink.txt";
inline constexpr std::string_view kQueryOfXmlSchema = "QueryofXMLSchema.txt";

// Each generator hands the statements of every object of its kind to the
// sink; with only_object given, just that object's (an OBJ# of the kind).
void CreateSynonyms(const Catalogue& c, StatementSink& sink, std::optional<std::uint32_t> only_object = {});
void CreateSequences(const Catalogue& c, StatementSink& sink, std::optional<std::uint32_t> only_object = {});
void CreateViews(const Catalogue& c, StatementSink& sink, std::optional<std::uint32_t> only_object = {});
void CreateFunctions(const Catalogue& c, StatementSink& sink, std::optional<std::uint32_t> only_object = {});
void CreateProcedures(const Catalogue& c, StatementSink& sink, std::optional<std::uint32_t> only_object = {});
void CreatePackages(const Catalogue& c, StatementSink& sink, std::optional<std::uint32_t> only_object = {});
void CreatePackageBodies(const Catalogue& c, StatementSink& sink, std::optional<std::uint32_t> only_object = {});
// Types in the order of their dependencies (a type after the types its
// source names), so that one run creates them all where the order can be
// told; the repair runs the failed ones again through RetryFailed.
void CreateTypes(const Catalogue& c, StatementSink& sink, std::optional<std::uint32_t> only_object = {});
void CreateTypeBodies(const Catalogue& c, StatementSink& sink, std::optional<std::uint32_t> only_object = {});

// The source lines of a stored object joined in line order; each SOURCE$
// line carries its own line end. Empty when it has none.
std::string SourceText(const Catalogue& c, std::uint32_t object_number);

// The source of a stored unit with its owner put before its name: the kind
// keyword ("FUNCTION", "PACKAGE BODY"; any case, any blanks between two
// words) must open the text; the name after it gets quoted_owner + "." in
// front of it, or has its own qualifier replaced by it. Nothing else of the
// text changes. std::nullopt when the text does not open with the keyword.
std::optional<std::string> SourceWithOwner(std::string_view source, std::string_view keyword,
                                           std::string_view quoted_owner);

// The end of the (possibly quoted) name that starts at pos, or npos when
// none starts there.
std::size_t NameEnd(std::string_view text, std::size_t pos);

}  // namespace quillon::repair
