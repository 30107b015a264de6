#include "testdb/dictionary_tables.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <stdexcept>

namespace quillon::testdb {

namespace {

// A table as one line: "NAME TYPE[!][@since], ..." with the types N (NUMBER),
// I (INTEGER), V30 (VARCHAR2(30)), C1 (CHAR(1)), R16 (RAW(16)), D (DATE),
// L (LONG), RID (ROWID), CLOB, BLOB; "!" marks NOT NULL, "@92" the first
// layout with the column (92, 101, 102, 111, 112).
struct TableText {
  const char* name;
  const char* cluster;
  const char* key;       // member columns holding the key, blank-separated
  const char* since;     // "" or a layout as in the columns
  const char* columns;
};

constexpr TableText kTables[] = {
    {"OBJ$", "", "", "",
     "OBJ# N!, DATAOBJ# N, OWNER# N!, NAME V30!, NAMESPACE N!, SUBNAME V30, TYPE# N!, CTIME D!, MTIME D!, "
     "STIME D!, STATUS N!, REMOTEOWNER V30, LINKNAME V128, FLAGS N, OID$ R16, SPARE1 N, SPARE2 N, SPARE3 N, "
     "SPARE4 V1000, SPARE5 V1000, SPARE6 D"},
    {"TAB$", "C_OBJ#", "OBJ#", "",
     "OBJ# N!, DATAOBJ# N, TS# N!, FILE# N!, BLOCK# N!, BOBJ# N, TAB# N, COLS N!, CLUCOLS N, PCTFREE$ N!, "
     "PCTUSED$ N!, INITRANS N!, MAXTRANS N!, FLAGS N!, AUDIT$ V38!, ROWCNT N, BLKCNT N, EMPCNT N, AVGSPC N, "
     "CHNCNT N, AVGRLN N, AVGSPC_FLB N, FLBCNT N, ANALYZETIME D, SAMPLESIZE N, DEGREE N, INSTANCES N, "
     "INTCOLS N!, KERNELCOLS N!, PROPERTY N!, TRIGFLAG N, SPARE1 N, SPARE2 N, SPARE3 N, SPARE4 V1000, "
     "SPARE5 V1000, SPARE6 D"},
    {"CLU$", "C_OBJ#", "OBJ#", "",
     "OBJ# N!, DATAOBJ# N, TS# N!, FILE# N!, BLOCK# N!, COLS N!, PCTFREE$ N!, PCTUSED$ N!, INITRANS N!, "
     "MAXTRANS N!, SIZE$ N, HASHFUNC V30, HASHKEYS N, FUNC N, EXTIND N, FLAGS N, DEGREE N, INSTANCES N, "
     "AVGCHN N, SPARE1 N, SPARE2 N, SPARE3 N, SPARE4 N, SPARE5 V1000, SPARE6 V1000, SPARE7 D"},
    {"IND$", "C_OBJ#", "BO#", "",
     "OBJ# N!, DATAOBJ# N, TS# N!, FILE# N!, BLOCK# N!, BO# N!, INDMETHOD# N!, COLS N!, PCTFREE$ N!, "
     "INITRANS N!, MAXTRANS N!, PCTTHRES$ N, TYPE# N!, FLAGS N!, PROPERTY N!, BLEVEL N, LEAFCNT N, DISTKEY N, "
     "LBLKKEY N, DBLKKEY N, CLUFAC N, ANALYZETIME D, SAMPLESIZE N, ROWCNT N, INTCOLS N!, DEGREE N, "
     "INSTANCES N, TRUNCCNT N, SPARE1 N, SPARE2 N, SPARE3 N, SPARE4 V1000, SPARE5 V1000, SPARE6 D"},
    {"ICOL$", "C_OBJ#", "BO#", "",
     "OBJ# N!, BO# N!, COL# N!, POS# N!, SEGCOL# N!, SEGCOLLENGTH N!, OFFSET N!, INTCOL# N!, SPARE1 N, "
     "SPARE2 N, SPARE3 N, SPARE4 V1000, SPARE5 V1000, SPARE6 D"},
    {"COL$", "C_OBJ#", "OBJ#", "",
     "OBJ# N!, COL# N!, SEGCOL# N!, SEGCOLLENGTH N!, OFFSET N!, NAME V30!, TYPE# N!, LENGTH N!, "
     "FIXEDSTORAGE N!, PRECISION# N, SCALE N, NULL$ N!, DEFLENGTH N, DEFAULT$ L, INTCOL# N!, PROPERTY N!, "
     "CHARSETID N, CHARSETFORM N, SPARE1 N, SPARE2 N, SPARE3 N, SPARE4 V1000, SPARE5 V1000, SPARE6 D"},
    {"LOB$", "C_OBJ#", "OBJ#", "",
     "OBJ# N!, COL# N!, INTCOL# N!, LOBJ# N!, PART# N!, IND# N!, TS# N!, FILE# N!, BLOCK# N!, CHUNK N!, "
     "PCTVERSION$ N!, FLAGS N!, PROPERTY N!, RETENTION N!@92, FREEPOOLS N!@92, SPARE1 N, SPARE2 N, "
     "SPARE3 V255"},
    {"COLTYPE$", "C_OBJ#", "OBJ#", "",
     "OBJ# N!, COL# N!, INTCOL# N!, TOID R16!, VERSION# N!, PACKED N!, INTCOLS N, INTCOL#S R2000, FLAGS N, "
     "TYPIDCOL# N, SYNOBJ# N@92"},
    {"SUBCOLTYPE$", "C_OBJ#", "OBJ#", "",
     "OBJ# N!, INTCOL# N!, TOID R16!, VERSION# N!, INTCOLS N, INTCOL#S R2000, FLAGS N, SYNOBJ# N@92"},
    {"NTAB$", "C_OBJ#", "OBJ#", "", "OBJ# N!, COL# N!, INTCOL# N!, NTAB# N!, NAME V4000!"},
    {"REFCON$", "C_OBJ#", "OBJ#", "",
     "OBJ# N!, COL# N!, INTCOL# N!, REFTYP N!, STABID R16, EXPCTOID R16"},
    {"OPQTYPE$", "C_OBJ#", "OBJ#", "",
     "OBJ# N!, INTCOL# N!, TYPE N, FLAGS N, LOBCOL N, OBJCOL N, EXTRACOL N, SCHEMAOID R16, ELEMNUM N, "
     "SCHEMAURL V4000"},
    {"ICOLDEP$", "C_OBJ#", "BO#", "", "OBJ# N!, BO# N!, INTCOL# N!"},
    {"VIEWTRCOL$", "C_OBJ#", "OBJ#", "", "OBJ# N!, INTCOL# N!, ATTRIBUTE# N!, NAME V4000!"},
    {"LIBRARY$", "C_OBJ#", "OBJ#", "", "OBJ# N!, FILESPEC V2000, PROPERTY N, AUDIT$ V38!"},
    {"ASSEMBLY$", "C_OBJ#", "OBJ#", "111",
     "OBJ# N!@111, FILESPEC V4000@111, SECURITY_LEVEL N@111, IDENTITY V4000@111, PROPERTY N@111, "
     "AUDIT$ V38!@111"},
    {"ATTRCOL$", "C_OBJ#", "OBJ#", "", "OBJ# N!, INTCOL# N!, NAME V4000!"},
    {"TYPE_MISC$", "C_OBJ#", "OBJ#", "", "OBJ# N!, AUDIT$ V38!, PROPERTIES N!"},
    {"FET$", "C_TS#", "TS#", "", "TS# N!, FILE# N!, BLOCK# N!, LENGTH N!"},
    {"TS$", "C_TS#", "TS#", "",
     "TS# N!, NAME V30!, OWNER# N!, ONLINE$ N!, CONTENTS$ N!, UNDOFILE# N, UNDOBLOCK# N, BLOCKSIZE N!, "
     "INC# N!, SCNWRP N, SCNBAS N, DFLMINEXT N!, DFLMAXEXT N!, DFLINIT N!, DFLINCR N!, DFLMINLEN N!, "
     "DFLEXTPCT N!, DFLOGGING N!, AFFSTRENGTH N!, BITMAPPED N!, PLUGGED N!, DIRECTALLOWED N!, FLAGS N!, "
     "PITRSCNWRP N, PITRSCNBAS N, OWNERINSTANCE V30, BACKUPOWNER V30, GROUPNAME V30, SPARE1 N, SPARE2 N, "
     "SPARE3 V1000, SPARE4 D"},
    {"USER$", "C_USER#", "USER#", "",
     "USER# N!, NAME V30!, TYPE# N!, PASSWORD V30, DATATS# N!, TEMPTS# N!, CTIME D!, PTIME D, EXPTIME D, "
     "LTIME D, RESOURCE$ N!, AUDIT$ V38, DEFROLE N!, DEFGRP# N, DEFGRP_SEQ# N, ASTATUS N!, LCOUNT N!, "
     "DEFSCHCLASS V30, EXT_USERNAME V4000, SPARE1 N, SPARE2 N, SPARE3 N, SPARE4 V1000, SPARE5 V1000, "
     "SPARE6 D"},
    {"TSQ$", "C_USER#", "USER#", "",
     "TS# N!, USER# N!, GRANTOR# N!, BLOCKS N!, MAXBLOCKS N, PRIV1 N!, PRIV2 N!, PRIV3 N!"},
    {"CON$", "", "", "",
     "OWNER# N!, NAME V30!, CON# N!, SPARE1 N, SPARE2 N, SPARE3 N, SPARE4 V1000, SPARE5 V1000, SPARE6 D"},
    {"CDEF$", "C_COBJ#", "OBJ#", "",
     "CON# N!, OBJ# N!, COLS N, TYPE# N!, ROBJ# N, RCON# N, RRULES V3, MATCH# N, REFACT N, ENABLED N, "
     "CONDLENGTH N, CONDITION L, INTCOLS N, MTIME D, DEFER N, SPARE1 N, SPARE2 N, SPARE3 N, SPARE4 V1000, "
     "SPARE5 V1000, SPARE6 D"},
    {"CCOL$", "C_COBJ#", "OBJ#", "",
     "CON# N!, OBJ# N!, COL# N!, POS# N, INTCOL# N!, SPARE1 N, SPARE2 N, SPARE3 N, SPARE4 V1000, "
     "SPARE5 V1000, SPARE6 D"},
    {"PROPS$", "", "", "", "NAME V30!, VALUE$ V4000, COMMENT$ V4000"},
    {"SEQ$", "", "", "",
     "OBJ# N!, INCREMENT$ N!, MINVALUE N, MAXVALUE N, CYCLE# N!, ORDER$ N!, CACHE N!, HIGHWATER N!, "
     "AUDIT$ V38!, FLAGS N"},
    {"SYN$", "", "", "", "OBJ# N!, NODE V128, OWNER V30, NAME V30!"},
    {"VIEW$", "", "", "",
     "OBJ# N!, AUDIT$ V38!, COLS N!, INTCOLS N!, PROPERTY N!, FLAGS N!, TEXTLENGTH N, TEXT L"},
    {"TYPED_VIEW$", "", "", "",
     "OBJ# N!, TYPEOWNER V30, TYPENAME V30, TYPETEXTLENGTH N, TYPETEXT V4000, OIDTEXTLENGTH N, "
     "OIDTEXT V4000, TRANSTEXTLENGTH N, TRANSTEXT L, UNDERTEXTLENGTH N, UNDERTEXT V4000"},
    {"TRIGGER$", "", "", "",
     "OBJ# N!, TYPE# N!, UPDATE$ N!, INSERT$ N!, DELETE$ N!, BASEOBJECT N!, REFOLDNAME V30, REFNEWNAME V30, "
     "DEFINITION V4000, WHENCLAUSE V4000, ACTION# L, ACTIONSIZE N, ENABLED N, PROPERTY N!, SYS_EVTS N, "
     "NTTRIGCOL N, NTTRIGATT N, REFPRTNAME V30, ACTIONLINENO N@92, TRIGNAMELINE N@111, TRIGNAMECOL N@111, "
     "TRIGNAMECOLOFS N@111, ACTIONCOLNO N@111"},
    {"SOURCE$", "", "", "", "OBJ# N!, LINE N!, SOURCE V4000"},
    {"OBJAUTH$", "", "", "",
     "OBJ# N!, GRANTOR# N!, GRANTEE# N!, PRIVILEGE# N!, SEQUENCE# N!, PARENT RID, OPTION$ N, COL# N"},
    {"SYSAUTH$", "", "", "", "GRANTEE# N!, PRIVILEGE# N!, SEQUENCE# N!, OPTION$ N"},
    {"SYSTEM_PRIVILEGE_MAP", "", "", "", "PRIVILEGE N!, NAME V40!, PROPERTY N!"},
    {"TABLE_PRIVILEGE_MAP", "", "", "", "PRIVILEGE N!, NAME V40!"},
    {"LINK$", "", "", "",
     "OWNER# N!, NAME V128!, CTIME D!, HOST V2000, USERID V30, PASSWORD V30, FLAG N, AUTHUSR V30, "
     "AUTHPWD V30, PASSWORDX R128@102, AUTHPWDX R128@102"},
    {"PARTOBJ$", "", "", "",
     "OBJ# N!, PARTTYPE N!, PARTCNT N!, PARTKEYCOLS N!, FLAGS N, DEFTS# N, DEFPCTFREE N!, DEFPCTUSED N!, "
     "DEFPCTTHRES N, DEFINITRANS N!, DEFMAXTRANS N!, DEFTINIEXTS N, DEFEXTSIZE N, DEFMINEXTS N, DEFMAXEXTS N, "
     "DEFEXTPCT N, DEFLISTS N!, DEFGROUPS N!, DEFLOGGING N!, SPARE1 N, SPARE2 N, SPARE3 N, DEFINCLCOL N, "
     "PARAMETERS V1000, INTERVAL_STR V1000@111, INTERVAL_BIVAL R200@111, DEFMAXSIZE N@111"},
    {"PARTCOL$", "", "", "",
     "OBJ# N!, INTCOL# N!, COL# N!, POS# N!, SPARE1 N, SEGCOL# N!, TYPE# N!, CHARSETFORM N"},
    {"SUBPARTCOL$", "", "", "",
     "OBJ# N!, INTCOL# N!, COL# N!, POS# N!, SPARE1 N, SEGCOL# N!, TYPE# N!, CHARSETFORM N"},
    {"TABPART$", "", "", "",
     "OBJ# N!, DATAOBJ# N, BO# N!, PART# N!, HIBOUNDLEN N!, HIBOUNDVAL L, TS# N, FILE# N, BLOCK# N, "
     "PCTFREE$ N!, PCTUSED$ N!, INITRANS N!, MAXTRANS N!, FLAGS N!, ANALYZETIME D, SAMPLESIZE N, ROWCNT N, "
     "BLKCNT N, EMPCNT N, AVGSPC N, CHNCNT N, AVGRLN N, SPARE1 N, SPARE2 N, SPARE3 N, BHIBOUNDVAL BLOB"},
    {"TABCOMPART$", "", "", "",
     "OBJ# N!, DATAOBJ# N, BO# N!, PART# N!, HIBOUNDLEN N!, HIBOUNDVAL L, SUBPARTCNT N!, FLAGS N!, DEFTS# N, "
     "DEFPCTFREE N!, DEFPCTUSED N!, DEFINITRANS N!, DEFMAXTRANS N!, DEFINIEXTS N, DEFEXTSIZE N, DEFMINEXTS N, "
     "DEFMAXEXTS N, DEFEXTPCT N, DEFLISTS N, DEFGROUPS N, DEFLOGGING N, DEFBUFPOOL N, ANALYZETIME D, "
     "SAMPLESIZE N, ROWCNT N, BLKCNT N, EMPCNT N, AVGSPC N, CHNCNT N, AVGRLN N, SPARE1 N, SPARE2 N, "
     "SPARE3 N, BHIBOUNDVAL BLOB, DEFMAXSIZE N@111"},
    {"TABSUBPART$", "", "", "",
     "OBJ# N!, DATAOBJ# N, POBJ# N!, SUBPART# N!, FLAGS N!, TS# N!, FILE# N!, BLOCK# N!, PCTFREE$ N!, "
     "PCTUSED$ N!, INITRANS N!, MAXTRANS N!, ANALYZETIME D, SAMPLESIZE N, ROWCNT N, BLKCNT N, EMPCNT N, "
     "AVGSPC N, CHNCNT N, AVGRLN N, SPARE1 N, SPARE2 N, SPARE3 N, HIBOUNDLEN N!@92, HIBOUNDVAL L@92, "
     "BHIBOUNDVAL BLOB@92"},
    {"INDPART$", "", "", "",
     "OBJ# N!, DATAOBJ# N, BO# N!, PART# N!, HIBOUNDLEN N!, HIBOUNDVAL L, FLAGS N!, TS# N!, FILE# N!, "
     "BLOCK# N!, PCTFREE$ N!, PCTTHRES$ N, INITRANS N!, MAXTRANS N!, ANALYZETIME D, SAMPLESIZE N, ROWCNT N, "
     "BLEVEL N, LEAFCNT N, DISTKEY N, LBLKKEY N, DBLKKEY N, CLUFAC N, SPARE1 N, SPARE2 N, SPARE3 N, "
     "INCLCOL N, BHIBOUNDVAL BLOB"},
    {"LOBFRAG$", "", "", "",
     "FRAGOBJ# N!, PARENTOBJ# N!, TABFRAGOBJ# N!, INDFRAGOBJ# N!, FRAG# N!, FRAGTYPE$ C1, TS# N!, FILE# N!, "
     "BLOCK# N!, CHUNK N!, PCTVERSION$ N!, FRAGFLAGS N!, FRAGPRO N!, SPARE1 N, SPARE2 N, SPARE3 N"},
    {"LOBCOMPPART$", "", "", "",
     "PARTOBJ# N!, LOBJ# N!, TABPARTOBJ# N!, INDPARTOBJ# N!, PART# N!, DEFTS# N, DEFCHUNK N!, DEFPCTVER$ N!, "
     "DEFFLAGS N!, DEFPRO N!, DEFINIEXTS N, DEFEXTSIZE N, DEFMINEXTS N, DEFMAXEXTS N, DEFEXTPCT N, DEFLISTS N, "
     "DEFGROUPS N, DEFBUFPOOL N, SPARE1 N, SPARE2 N, SPARE3 N, DEFMAXSIZE N@111, DEFRETENTION N@111, "
     "DEFMINTIME N@111"},
    {"TYPE$", "C_TOID_VERSION#", "TOID VERSION#", "",
     "TOID R16!, VERSION# N!, VERSION V30!, TVOID R16!, TYPECODE N!, PROPERTIES N!, ATTRIBUTES N, METHODS N, "
     "HIDDENMETHODS N, SUPERTYPES N, SUBTYPES N, EXTERNTYPE N, EXTERNNAME V4000, HELPERCLASSNAME V4000, "
     "LOCAL_ATTRS N, LOCAL_METHODS N, TYPEID R16, ROOTTOID R16, SPARE1 N, SPARE2 N, SPARE3 N, "
     "SUPERTOID R16, HASHCODE R17"},
    {"COLLECTION$", "C_TOID_VERSION#", "TOID VERSION#", "",
     "TOID R16!, VERSION# N!, COLL_TOID R16!, COLL_VERSION# N!, ELEM_TOID R16!, ELEM_VERSION# N!, "
     "SYNOBJ# N@92, PROPERTIES N!, CHARSETID N, CHARSETFORM N, LENGTH N, PRECISION N, SCALE N, "
     "UPPER_BOUND N, SPARE1 N, SPARE2 N, SPARE3 N"},
    {"ATTRIBUTE$", "C_TOID_VERSION#", "TOID VERSION#", "",
     "TOID R16!, VERSION# N!, NAME V30!, ATTRIBUTE# N!, ATTR_TOID R16!, ATTR_VERSION# N!, SYNOBJ# N@92, "
     "PROPERTIES N!, CHARSETID N, CHARSETFORM N, LENGTH N, PRECISION# N, SCALE N, EXTERNNAME V4000, "
     "XFLAGS N, SPARE1 N, SPARE2 N, SPARE3 N, SPARE4 N, SPARE5 N, SETTER N, GETTER N"},
    {"METHOD$", "C_TOID_VERSION#", "TOID VERSION#", "",
     "TOID R16!, VERSION# N!, METHOD# N!, NAME V30!, PROPERTIES N!, PARAMETERS# N!, RESULTS N!, XFLAGS N, "
     "SPARE1 N, SPARE2 N, SPARE3 N, EXTERNVARNAME V4000"},
    {"PARAMETER$", "C_TOID_VERSION#", "TOID VERSION#", "",
     "TOID R16!, VERSION# N!, METHOD# N!, NAME V30!, PARAMETER# N!, PARAM_TOID R16!, PARAM_VERSION# N!, "
     "SYNOBJ# N@92, PROPERTIES N!, CHARSETID N, CHARSETFORM N, DEFAULT$ V4000, SPARE1 N, SPARE2 N, SPARE3 N"},
    {"RESULT$", "C_TOID_VERSION#", "TOID VERSION#", "",
     "TOID R16!, VERSION# N!, METHOD# N!, RESULT# N!, RESULT_TOID R16!, RESULT_VERSION# N!, SYNOBJ# N@92, "
     "PROPERTIES N!, CHARSETID N, CHARSETFORM N, SPARE1 N, SPARE2 N, SPARE3 N"},
    {"MLOG$", "C_MLOG#", "MASTER MOWNER", "",
     "MOWNER V30!, MASTER V30!, OLDEST D, OLDEST_PK D, OLDEST_SEQ D@101, OSCN N, YOUNGEST D, YSCN N, "
     "LOG V30!, TRIG V30, FLAG N, MTIME D!, TEMP_LOG V30, OLDEST_OID D, OLDEST_NEW D, PURGE_START D@112, "
     "PURGE_NEXT V200@112, PURGE_JOB V30@112, LAST_PURGE_DATE D@112, LAST_PURGE_STATUS N@112, "
     "ROWS_PURGED N@112, OSCN_PK N@112, OSCN_SEQ N@112, OSCN_OID N@112, OSCN_NEW N@112"},
    {"SLOG$", "C_MLOG#", "MASTER MOWNER", "",
     "MOWNER V30!, MASTER V30!, SNAPSHOT D, SNAPID I, SSCN N, SNAPTIME D!, TSCN N, USER# N"},
    {"MLOG_REFCOL$", "", "", "",
     "MOWNER V30!, MASTER V30!, COLNAME V30!, OLDEST D, OLDEST_SCN N@112, FLAG I"},
    {"SNAP$", "", "", "",
     "SOWNER V30!, VNAME V30!, TNAME V30!, MVIEW V30, MOWNER V30, MASTER V30, MLINK V128, CAN_USE_LOG V1, "
     "SNAPSHOT D, SNAPID I, SSCN N, SNAPTIME D, TSCN N, ERROR# N, AUTO_FAST V1, AUTO_FUN V200, AUTO_DATE D, "
     "REFGROUP N, USTRG V30, USLOG V30, STATUS I, MASTER_VERSION I, TABLES I, FIELD1 N, FIELD2 V30, FLAG N, "
     "FLAG2 N, QUERY_TXT L, LOBMASKVEC R255, MTIME D!, MAS_ROLL_SEG V30, RSCN N, REFHNT N, QUERY_LEN I, "
     "INSTSITE I, FLAVOR_ID N, OBJFLAG N, SNA_TYPE_OID R16, SNA_TYPE_HASHCODE R17, SNA_TYPE_OWNER V30, "
     "SNA_TYPE_NAME V30, MAS_TYPE_OID R16, MAS_TYPE_HASHCODE R17, MAS_TYPE_OWNER V30, MAS_TYPE_NAME V30, "
     "PARENT_SOWNER V30, PARENT_VNAME V30, REL_QUERY CLOB, ALIAS_TXT CLOB@101, SYN_COUNT I@102, FLAG3 N@112"},
    {"SUM$", "", "", "",
     "OBJ# N!, CONTAINEROBJ# N!, CONTAINERTYPE N!, CONTAINERNAM V30, FULLREFRESHTIM N, INCREFRESHTIM N, "
     "LASTREFRESHSCN N, LASTREFRESHDATE D, REFRESHMODE N, PFLAGS N, XPFLAGS N, MFLAGS N, NUMDETAILTAB I, "
     "NUMAGGREGATES I, NUMKEYCOLUMNS I, NUMJOINS I, NUMINLINES I, NUMWHRNODES I, NUMHAVNODES I, "
     "NUMQBNODES I@101, QBCMARKER I@101, SUMTEXTLEN N, SUMTEXT L, FROMOFFSET N!, FROMLEN N!, METAVERSION N!, "
     "OBJCOUNT N!, MARKERDTY I@101, RW_NAME V30@101, SRC_STMT CLOB@101, DEST_STMT CLOB@101, RW_MODE I@101, "
     "SPARE1 N, SPARE2 N, SPARE3 V1000, SPARE4 D"},
};

constexpr TableText kClusters[] = {
    {"C_OBJ#", "", "", "", "OBJ# N!"},
    {"C_TS#", "", "", "", "TS# N!"},
    {"C_USER#", "", "", "", "USER# N!"},
    {"C_COBJ#", "", "", "", "OBJ# N!"},
    {"C_TOID_VERSION#", "", "", "", "TOID R16!, VERSION# N!"},
    {"C_MLOG#", "", "", "", "MASTER V30!, MOWNER V30!"},
};

// C_OBJ# in creation order per layout. 11g: Oracle's own bootstrap order.
// 9i and 10g (16 members, no ASSEMBLY$): the first seven members as in 11g,
// NTAB$ at 12 in both, OPQTYPE$ at 14 in 10g and 15 in 9i.
const std::vector<std::string> kObjCluster11 = {
    "TAB$", "CLU$", "IND$", "ICOL$", "COL$", "LOB$", "COLTYPE$", "SUBCOLTYPE$", "NTAB$", "REFCON$", "OPQTYPE$",
    "ICOLDEP$", "VIEWTRCOL$", "LIBRARY$", "ASSEMBLY$", "ATTRCOL$", "TYPE_MISC$"};
const std::vector<std::string> kObjCluster10 = {
    "TAB$", "CLU$", "IND$", "ICOL$", "COL$", "LOB$", "COLTYPE$", "ICOLDEP$", "VIEWTRCOL$", "LIBRARY$",
    "REFCON$", "NTAB$", "SUBCOLTYPE$", "OPQTYPE$", "ATTRCOL$", "TYPE_MISC$"};
const std::vector<std::string> kObjCluster9 = {
    "TAB$", "CLU$", "IND$", "ICOL$", "COL$", "LOB$", "COLTYPE$", "ICOLDEP$", "VIEWTRCOL$", "LIBRARY$",
    "REFCON$", "NTAB$", "SUBCOLTYPE$", "ATTRCOL$", "OPQTYPE$", "TYPE_MISC$"};

DictVersion ParseVersion(std::string_view text) {
  if (text.empty() || text == "901") return DictVersion::k901;
  if (text == "92") return DictVersion::k92;
  if (text == "101") return DictVersion::k101;
  if (text == "102") return DictVersion::k102;
  if (text == "111") return DictVersion::k111;
  if (text == "112") return DictVersion::k112;
  throw std::logic_error("bad dictionary layout " + std::string(text));
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

DictColumn ParseColumn(std::string_view text) {
  text = Trim(text);
  DictColumn c;
  const auto blank = text.find(' ');
  c.name = std::string(text.substr(0, blank));
  std::string_view type = text.substr(blank + 1);
  if (const auto at = type.find('@'); at != std::string_view::npos) {
    c.since = ParseVersion(type.substr(at + 1));
    type = type.substr(0, at);
  }
  if (!type.empty() && type.back() == '!') {
    c.not_null = true;
    type.remove_suffix(1);
  }
  const auto sized = [&](DictType t, std::string_view digits) {
    c.type = t;
    std::from_chars(digits.data(), digits.data() + digits.size(), c.length);
  };
  if (type == "N") {
    c.type = DictType::kNumber;
  } else if (type == "I") {
    c.type = DictType::kInteger;
  } else if (type == "D") {
    c.type = DictType::kDate;
  } else if (type == "L") {
    c.type = DictType::kLong;
  } else if (type == "RID") {
    c.type = DictType::kRowid;
  } else if (type == "CLOB") {
    c.type = DictType::kClob;
  } else if (type == "BLOB") {
    c.type = DictType::kBlob;
  } else if (type.front() == 'V') {
    sized(DictType::kVarchar2, type.substr(1));
  } else if (type.front() == 'C') {
    sized(DictType::kChar, type.substr(1));
  } else if (type.front() == 'R') {
    sized(DictType::kRaw, type.substr(1));
  } else {
    throw std::logic_error("bad dictionary column " + std::string(text));
  }
  return c;
}

std::vector<DictColumn> ParseColumns(std::string_view text) {
  std::vector<DictColumn> out;
  while (!text.empty()) {
    const auto comma = text.find(',');
    out.push_back(ParseColumn(text.substr(0, comma)));
    if (comma == std::string_view::npos) break;
    text.remove_prefix(comma + 1);
  }
  return out;
}

std::vector<std::string> Words(std::string_view text) {
  std::vector<std::string> out;
  while (!(text = Trim(text)).empty()) {
    const auto blank = text.find(' ');
    out.emplace_back(text.substr(0, blank));
    if (blank == std::string_view::npos) break;
    text.remove_prefix(blank);
  }
  return out;
}

struct Definitions {
  std::vector<DictTable> tables;
  std::vector<DictCluster> clusters;
  Definitions() {
    for (const TableText& t : kTables) {
      tables.push_back({t.name, t.cluster, Words(t.key), ParseVersion(t.since), ParseColumns(t.columns)});
    }
    for (const TableText& c : kClusters) clusters.push_back({c.name, ParseColumns(c.columns)});
  }
};

const Definitions& Defs() {
  static const Definitions d;
  return d;
}

}  // namespace

int DictTable::Index(std::string_view column) const {
  for (std::size_t i = 0; i < columns.size(); ++i) {
    if (columns[i].name == column) return static_cast<int>(i);
  }
  return -1;
}

std::span<const DictTable> DictTables() { return Defs().tables; }

const DictTable& DictTableNamed(std::string_view name) {
  for (const auto& t : Defs().tables) {
    if (t.name == name) return t;
  }
  throw std::logic_error("no dictionary table " + std::string(name));
}

std::span<const DictCluster> DictClusters() { return Defs().clusters; }

const DictCluster& DictClusterNamed(std::string_view name) {
  for (const auto& c : Defs().clusters) {
    if (c.name == name) return c;
  }
  throw std::logic_error("no dictionary cluster " + std::string(name));
}

std::vector<std::string> ClusterMembers(std::string_view cluster, DictVersion v) {
  if (cluster == "C_OBJ#") {
    return v >= DictVersion::k111 ? kObjCluster11 : v >= DictVersion::k101 ? kObjCluster10 : kObjCluster9;
  }
  if (cluster == "C_TS#") return {"FET$", "TS$"};
  if (cluster == "C_USER#") return {"USER$", "TSQ$"};
  if (cluster == "C_COBJ#") return {"CDEF$", "CCOL$"};
  if (cluster == "C_TOID_VERSION#") return {"TYPE$", "COLLECTION$", "ATTRIBUTE$", "METHOD$", "PARAMETER$", "RESULT$"};
  if (cluster == "C_MLOG#") return {"MLOG$", "SLOG$"};
  return {};
}

std::uint32_t MemberPosition(std::string_view table, DictVersion v) {
  const DictTable& t = DictTableNamed(table);
  const auto members = ClusterMembers(t.cluster, v);
  const auto it = std::find(members.begin(), members.end(), table);
  return it == members.end() ? 0 : static_cast<std::uint32_t>(it - members.begin() + 1);
}

std::vector<int> ReleaseColumns(const DictTable& table, DictVersion v) {
  std::vector<int> out;
  for (std::size_t i = 0; i < table.columns.size(); ++i) {
    if (table.columns[i].since <= v) out.push_back(static_cast<int>(i));
  }
  return out;
}

std::vector<int> StoredColumns(const DictTable& table, DictVersion v, bool member_row) {
  std::vector<int> regular, longs;
  for (const int i : ReleaseColumns(table, v)) {
    const DictColumn& c = table.columns[static_cast<std::size_t>(i)];
    if (member_row && std::find(table.key_columns.begin(), table.key_columns.end(), c.name) != table.key_columns.end()) {
      continue;
    }
    (c.type == DictType::kLong ? longs : regular).push_back(i);
  }
  regular.insert(regular.end(), longs.begin(), longs.end());
  return regular;
}

std::vector<std::uint32_t> SegmentColumnNumbers(const DictTable& table, DictVersion v) {
  const std::vector<int> columns = ReleaseColumns(table, v);
  std::map<int, std::uint32_t> number;
  std::uint32_t next = 1;
  const bool member = !table.cluster.empty();
  if (member) {
    for (const auto& key : table.key_columns) number[table.Index(key)] = next++;
  }
  for (const int i : StoredColumns(table, v, member)) number[i] = next++;
  std::vector<std::uint32_t> out;
  for (const int i : columns) out.push_back(number[i]);
  return out;
}

}  // namespace quillon::testdb
