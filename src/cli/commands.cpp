#include "cli/cli.h"

namespace quillon::cli {

const std::vector<Command>& Commands() {
  static const std::vector<Command> kCommands = {
      {"identify", "identify DIR [--json]",
       "identify the release and list the datafiles of the database in DIR", RunIdentify},
      {"block", "block FILE BLOCKNO [--block-size N] [--json]",
       "show the structure of one block of a datafile", RunBlock},
      {"catalogue", "catalogue DIR [--json] [--charset NAME]",
       "rebuild the data dictionary of the database in DIR and list its catalogue", RunCatalogue},
      {"decode", "decode TYPE HEX [--charset NAME] [--national] [--mode browse|repair|data]",
       "decode one stored column value of an Oracle type number (HEX \"null\" for NULL)", RunDecode},
      {"locator", "locator HEX [--json] [--charset NAME]",
       "show what a stored LOB locator says: type, in the row or not, identifier, inode, version, chunk DBAs, data",
       RunLocator},
      {"scan", "scan DIR [--json]",
       "scan the database in DIR: release, dictionary, the record count of every table, the scan report",
       RunScan},
      {"tree", "tree DIR", "the object tree of the database in DIR as an indented outline with check marks",
       RunTree},
      {"rows", "rows DIR OWNER.TABLE [--page N | --all] [--format table|csv|json]",
       "print the rows of a table: one page of 100 (from 1, default 1) or all of them", RunRows},
      {"export", "export DIR --out FOLDER [--format csv|json] [--tables OWNER.TABLE,...] [--skip-damaged] [--json]",
       "write the rows of every table (or of the tables named) to one file per table; the summary names blocks "
       "with a bad checksum (their rows are suspect; --skip-damaged leaves them out) and missing blocks",
       RunExport},
      {"ddl", "ddl DIR [NAME | OWNER.OBJECT ...] [--all] [--out FILE] [--target-folder FOLDER]",
       "print the DDL of the repair as a SQL*Plus script: of the users, roles and tablespaces named, or with --all "
       "of every phase so far",
       RunDdl},
      {"repair", "repair DIR [--sqlite FILE | --script FILE | --odbc DSN_OR_CONNECTION_STRING [--odbc-user USER] "
       "[--password-file FILE]] [--target-folder FOLDER] [--tables OWNER.TABLE,...]",
       "rebuild the schema and the rows of the tables (or of the tables named): in a SQLite file (the default, "
       "NAME.sqlite here; Oracle texts SQLite cannot hold go to NAME.oracle.sql beside it), as a SQL*Plus script, "
       "or in an Oracle database through ODBC (the password from a prompt, --password-file or "
       "QUILLON_TARGET_PASSWORD); --target-folder names the new database's datafile folder",
       RunRepair},
  };
  return kCommands;
}

}  // namespace quillon::cli
