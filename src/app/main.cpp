// quillon-gui: the desktop application.
#include <QApplication>
#include <QTimer>

#include "app/icons.h"
#include "app/main_window.h"
#include "app/scan_job.h"
#include "app/screenshot_hook.h"
#include "app/single_instance.h"
#include "app/user_prompts.h"

int main(int argc, char** argv) {
  using namespace quillon::app;
  // A second copy ends at once, silently, before it shows anything.
  const SingleInstance instance(SingleInstance::DefaultLockPath());
  if (instance.another_running()) return 0;

  QApplication application(argc, argv);
  QApplication::setOrganizationName(QStringLiteral("Brackwater"));
  QApplication::setApplicationName(QStringLiteral("Quillon"));
  QApplication::setApplicationVersion(QStringLiteral(QUILLON_VERSION));
  QApplication::setDesktopFileName(QStringLiteral("com.brackwater.Quillon"));
  QApplication::setWindowIcon(AppIcon());

  DialogPrompts prompts;
  CMainFrame window(prompts, MakeScanJob);
  window.ShowAtStart();
  ScreenshotHook::InstallFromEnvironment(window);
  // The Select Database dialog is the first thing the user sees.
  QTimer::singleShot(0, &window, &CMainFrame::OpenDatabase);
  return QApplication::exec();
}
