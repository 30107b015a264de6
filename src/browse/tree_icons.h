// Icon indices of the object tree. A front end maps each index to its own
// image; the indices themselves are what the tree model stores.
#pragma once

namespace quillon::tree_icon {

inline constexpr int kOwner = 3;                // a user under Schema, Database Links and XML Schema
inline constexpr int kSecurity = 4;
inline constexpr int kStorage = 5;
inline constexpr int kUserOpen = 6;             // a user whose account is open
inline constexpr int kUserClosed = 8;           // a locked or expired user
inline constexpr int kCluster = 9;
inline constexpr int kColumn = 10;
inline constexpr int kDatafile = 11;            // "DataFiles" and each datafile
inline constexpr int kRoot = 12;
inline constexpr int kFunctionInvalid = 13;
inline constexpr int kFunction = 14;
inline constexpr int kIndex = 15;
inline constexpr int kPackage = 17;
inline constexpr int kPackageBody = 18;
inline constexpr int kProcedureInvalid = 19;
inline constexpr int kProcedure = 20;
inline constexpr int kRole = 22;                // "Roles Granted", "Roles" and each role
inline constexpr int kSchema = 23;
inline constexpr int kSequence = 24;
inline constexpr int kSynonym = 25;
inline constexpr int kTable = 26;
inline constexpr int kPartition = 28;
inline constexpr int kTrigger = 29;
inline constexpr int kTriggerInvalid = 30;
inline constexpr int kTablespace = 31;          // "TableSpaces" and each tablespace
inline constexpr int kType = 33;
inline constexpr int kTypeBody = 34;
inline constexpr int kUsers = 35;
inline constexpr int kView = 39;
inline constexpr int kViewInvalid = 40;
inline constexpr int kPackageInvalid = 41;
inline constexpr int kPackageBodyInvalid = 42;
inline constexpr int kFolderClosed = 43;        // grouping nodes under an owner or a table
inline constexpr int kFolderOpen = 44;
inline constexpr int kCheckConstraint = 45;
inline constexpr int kPrimaryKey = 46;
inline constexpr int kForeignKey = 47;
inline constexpr int kUniqueKey = 48;
inline constexpr int kMaterializedView = 49;    // the folder and each view
inline constexpr int kDatabaseLink = 50;        // the folder and each link
inline constexpr int kMaterializedViewLog = 51; // the folder and each log
inline constexpr int kDistributed = 52;
inline constexpr int kSystemPrivilege = 53;     // the folder and each privilege
inline constexpr int kRoleObjectPrivilege = 54; // object privileges under a role
inline constexpr int kUserObjectPrivilege = 55; // object privileges under a user
inline constexpr int kXmlSchema = 56;
inline constexpr int kXmlUrl = 57;              // "XML URL" and each URL

}  // namespace quillon::tree_icon
