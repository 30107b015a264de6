// quillon identify DIR [--json]
#include <cstdio>
#include <ostream>

#include "cli/cli.h"
#include "cli/json_parts.h"
#include "cli/terminal_sink.h"
#include "reader/identify.h"

namespace quillon::cli {

namespace {

std::string Hex32(std::uint32_t v) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%08X", v);
  return buf;
}

}  // namespace

int RunIdentify(std::span<const std::string> argv, Io& io) {
  const Args args(argv, {"--json"}, {});
  args.ExpectPositionals(1, 1);
  const std::string& dir = args.Positional(0, "DIR");
  const auto system = FindSystemDatafile(dir);
  if (!system) throw Failure{"no SYSTEM datafile found in " + dir};

  TerminalSink sink(nullptr, io.err, false);
  StopFlag stop;
  COracleRecoveryTools engine(sink, stop);
  IdentifyRelease(engine, *system);
  const Identification& id = engine.identification;

  if (args.Has("--json")) {
    JsonWriter j(true);
    j.BeginObject();
    WriteIdentificationMembers(j, engine);
    j.EndObject();
    io.out << j.str() << "\n";
  } else {
    io.out << "SYSTEM datafile : " << id.system_datafile << "\n";
    io.out << "Release         : "
           << (id.unsupported ? "not supported"
                              : (id.release.text.empty() ? "unnamed (release code " + std::to_string(id.release.code) + ")"
                                                         : id.release.text))
           << "\n";
    io.out << "Database        : " << id.database_name << "\n";
    io.out << "Block size      : " << id.block_size << "\n";
    io.out << "Datafiles       : " << engine.datafile_count() << "\n";
    for (const auto& f : engine.datafiles) {
      io.out << "  " << f.full_path << "  tablespace " << f.tablespace_name << "  file "
             << f.relative_file_number << "  base " << Hex32(f.file_base_dba) << "\n";
    }
  }
  return id.unsupported ? kExitFailure : kExitOk;
}

}  // namespace quillon::cli
