#include "platform/qt/fonts.h"

namespace velun::qt {

void InstallFontSubstitutions() {
  // Naskh faces that shape Arabic well under HarfBuzz, best first; fontconfig
  // takes the first one installed.
  QStringList naskhFaces;
  naskhFaces << "Noto Naskh Arabic" << "Amiri" << "KacstBook" << "Lateef" << "DejaVu Sans";
  QFont::insertSubstitutions("Traditional Arabic", naskhFaces);
}

}  // namespace velun::qt
