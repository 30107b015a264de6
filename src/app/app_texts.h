// The application's user-facing texts, in one place. Every text the user
// reads in a message box, caption or log line the window writes itself comes
// from here, so wording and spacing stay exactly as intended.
#pragma once

namespace quillon::app::text {

inline constexpr const char* kAppTitle = "Quillon v3.2";
inline constexpr const char* kWindowTitle = "Quillon";
inline constexpr const char* kProductName = "Quillon";

inline constexpr const char* kLogHeader =
    "Quillon v3.2  ..... Repairs Corrupted Oracle Database..... Log Report";
inline constexpr const char* kProcessing = "Processing";
inline constexpr const char* kReady = "Ready";
inline constexpr const char* kGeneratingTree = "Generating Tree";
inline constexpr const char* kRecordsPrefix = "Records : ";
inline constexpr const char* kMemoryPrefix = "Memory Use : ";
inline constexpr const char* kMemorySuffix = " KB";

// Exit and Stop.
inline constexpr const char* kCanNotExit = "Can not exit!";
inline constexpr const char* kStopBeforeExit =
    "Please first stop the current process before exiting Quillon .";
inline constexpr const char* kAskExit = "Do you want to exit Quillon ?";
inline constexpr const char* kAskStopView = "Do you want to stop the current process ?";
inline constexpr const char* kAskStop = "   Do you want to stop the current process ?";
inline constexpr const char* kStopNotResumable =
    "This process can not be resumed from current\nstate and has to be restarted.";
inline constexpr const char* kStoppedByUser = "Current  process stopped by user.";

// Open Database.
inline constexpr const char* kNoSystemDatafile = "Can't find System01.DBF at desired path. ";
inline constexpr const char* kSelectValidPath = "Please select valid path .";

// Select Database dialog.
inline constexpr const char* kSelectIntro =
    "To Repair Corrupted Oracle database click 'Select Database' Button.To search a database "
    "folder from drive click 'Search Database' button.";
inline constexpr const char* kSelectDatabase = "Select Database";
inline constexpr const char* kLookIn = "Look In:";
inline constexpr const char* kSearchDatabase = "Search Database";
inline constexpr const char* kStop = "Stop";
inline constexpr const char* kDoubleClickHint = "Double Click in the list to select the database";
inline constexpr const char* kClearList = "Clear List";
inline constexpr const char* kSelectedPath = "Selected Database path";
inline constexpr const char* kHelp = "Help";
inline constexpr const char* kCancel = "Cancel";
inline constexpr const char* kScanFile = "Scan File";
inline constexpr const char* kColumnPath = "Oracle Database Folder Path";
inline constexpr const char* kColumnSize = "Database Size(GB)";
inline constexpr const char* kColumnModified = "Modified";
inline constexpr const char* kColumnCreated = "Created";
inline constexpr const char* kColumnAccessed = "Accessed";
inline constexpr const char* kSearchComplete = "Search process complete!";
inline constexpr const char* kDatabasesFound = "Oracle database found.";
inline constexpr const char* kTotalDatabases = "Total Database is :  ";
inline constexpr const char* kTotalDatabasesCleared = "Total Database is : 0";

// Message log.
inline constexpr const char* kMessageLog = "Message Log";
inline constexpr const char* kSaveLogFilter = "All Files(*.log)";
inline constexpr const char* kProposedLogName = "Quillon.log";
inline constexpr const char* kOverwriteCaption = "Overwrite File";
inline constexpr const char* kFileExists = "File already exist.";
inline constexpr const char* kAskOverwrite = "Do you want to overwrite?";
inline constexpr const char* kUnableToWrite =
    "Unable to write to %1, it is read-only or opened by someone else.";

// Search bar.
inline constexpr const char* kFindItems = "Find Items:";
inline constexpr const char* kSearchPrompt = "Search tree item";
inline constexpr const char* kMatchCase = "Match case";
inline constexpr const char* kMatchWholeWord = "Match whole word";
inline constexpr const char* kFind = "Find";
inline constexpr const char* kFindNext = "Find Next";
inline constexpr const char* kSearchFinished = "Search is finished, No further results available.";

// Start Repair: the wizard's first page (instructions).
inline constexpr const char* kFirstStepIntro = "Following steps are required to repair corrupted Oracle database.";
inline constexpr const char* kFirstStepCreate =
    "Step 1: Create a new Oracle database in which you want to insert data from corrupted oracle database.";
inline constexpr const char* kFirstStepSelect =
    "Step 2: Select newly created database folder and  Enter the password of user(system) of oracle database.";
inline constexpr const char* kNext = "Next >>";

// The wizard's second page (the target).
inline constexpr const char* kTargetIntro =
    "Please spacify the path of an existing or newly created database in which you want to insert data from "
    "corrupted oracle database.";
inline constexpr const char* kFolderPrompt = "Database Folder Path";
inline constexpr const char* kBrowse = "Browse";
inline constexpr const char* kEnterUserName = "Enter User Name";
inline constexpr const char* kSystemUser = "SYSTEM";
inline constexpr const char* kEnterPassword = "Enter Password";
inline constexpr const char* kConnect = "Connect";
inline constexpr const char* kServerRunning =
    "Important : Before pressing Connect, make sure the selected database server is running.";
inline constexpr const char* kBrowseFolderTitle =
    "Please select the path of an existing or newly created oracle database folder in which you want to insert "
    "data from that corrupted oracle database.";
inline constexpr const char* kFolderNotValid =
    "Selected Path is not valid!!\r\n\nPlease select the path of an existing or newly created oracle database folder.";
inline constexpr const char* kTargetOracle = "Oracle data source";
inline constexpr const char* kTargetScript = "SQL script file";
inline constexpr const char* kTargetSqlite = "SQLite file";
inline constexpr const char* kDataSourcePrompt = "Data source name or connection string";
inline constexpr const char* kOutputFilePrompt = "Output File Path";
inline constexpr const char* kFileNotValid =
    "Selected Path is not valid!!\r\n\nPlease select a file outside the corrupted database folder.";
inline constexpr const char* kScriptFilter = "SQL Script (*.sql)";
inline constexpr const char* kSqliteFilter = "SQLite Database (*.sqlite *.db)";

// Connecting the target.
inline constexpr const char* kRetryConnection = "Please Retry an Establishing Oracle Connection.";
inline constexpr const char* kUnknownError = "Unknown Error";

}  // namespace quillon::app::text
