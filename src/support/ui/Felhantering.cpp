#include "support/ui/Felhantering.h"

#include "support/ErrorReport.h"
#include "support/ui/Context.h"
#include "support/ui/RappForm.h"

namespace support {

namespace felhantering {

QString deniedText() {
    return QStringLiteral("'Permission denied' !\n\n"
                          "Ditt datorsystem tillåter troligen inte att filer, genererade"
                          " av programmet, placeras eller skrivs/läses till/från systemdisken C:\\ !\n\n"
                          "Det kan med vissa systeminställningar, vara kinkigt med"
                          " tillåtelsen för programmet att använda systemdisken (C:\\),"
                          " om du nu har valt att placera dina konton där."
                          " Jag rekommenderar därför att du placerar dem på en andra hårdisk,"
                          " om sådan finns !\n\n"
                          "Som antyds redan i installationsinformationen, rekommenderas"
                          " också att du sänker User Account Control (UAC) till den lägsta nivån,"
                          " vilken tillåter även ocertifierade program - som detta - att köras"
                          " på din dator.");
}

QString questionTitle(const QString& errorText) {
    return QStringLiteral("Felspec. = ") + errorText;
}

QString questionText(const QString& headline) {
    return headline +
           QStringLiteral("\n"
                          "Ofta beror fel på någon störning i filhanteringen, att"
                          " någon programfil har blivit 'korrupt', har hanterats eller"
                          " flyttats utanför programmet !\n"
                          "Det är viktigt ha någon form av backup på arbetsfilerna, för att"
                          " minimera förlust av data."
                          " (Se vidare Backup under Info/Hjälp !)\n\n"
                          "Fel kan givetvis också bero på programfel, t ex"
                          " ofullständig anpassning till specifikt driftsfall.\n"
                          "Det är nästan omöjligt förutse alla tänkbara driftsfall vid programmering,"
                          " så det är av stor vikt att problem blir kända och finner sin lösning !\n\n"
                          "Är filer och kataloger opåverkade, prova då med omstart av programmet"
                          " - även med omstart av datorn !\n"
                          "Återkommer ändå felet, kanske du vill skicka en"
                          " felrapport där du kort kan beskriva hur felet uppstår ! ?\n\n"
                          "Vill du skapa en felrapport ?");
}

} // namespace felhantering

void Felhantering(support::Context& ctx, QWidget* parent) {
    const QString errorText = QString::fromStdString(ctx.error.errorText);
    if (isAccessRefusal(ctx.error)) {
        ctx.dialogs.message(parent, felhantering::DeniedTitle, felhantering::deniedText(),
                            Dialogs::Icon::Information);
        return;
    }
    if (!ctx.dialogs.question(parent, felhantering::questionTitle(errorText),
                              felhantering::questionText(QString::fromStdString(ctx.error.headline)),
                              Dialogs::Icon::Critical))
        return;
    RappForm form(ctx, parent);
    ctx.dialogs.exec(form);
}

} // namespace support
