#include "output/gui/desktop.h"

#include <QDesktopServices>
#include <QProcess>
#include <QUrl>
#include <cstdlib>

#include "log/gui/qtui.h"

namespace desktop {

Launchers& launchers() {
  static Launchers l{OpenInEditor, OpenInBrowser};
  return l;
}

std::string OpenInEditor(const std::string& path) {
  const char* editor = std::getenv("TAMARACK_EDITOR");
  if (editor && *editor) {
    QProcess p;
    p.setProgram(QString::fromLocal8Bit(editor));
    p.setArguments({toQ(path)});
    if (p.startDetached()) return {};
    return "エディタ " + std::string(editor) + " を起動できません。\r\n" + fromQ(p.errorString());
  }
  if (QDesktopServices::openUrl(QUrl::fromLocalFile(toQ(path)))) return {};
  return "電子ログを開くプログラムが見つかりません。\r\n" + path;
}

std::string OpenInBrowser(const std::string& url) {
  const QUrl u(toQ(url), QUrl::StrictMode);
  if (!u.isValid() || (u.scheme() != QLatin1String("https") && u.scheme() != QLatin1String("http")))
    return "開けないアドレスです: " + url;
  if (QDesktopServices::openUrl(u)) return {};
  return "ブラウザを起動できません。\r\n" + url;
}

}  // namespace desktop
