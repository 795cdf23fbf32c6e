<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>QFileDialog</name>
    <message>
        <source>Text files (*.txt)</source>
        <translation>Textdateien (*.txt)</translation>
    </message>
    <message>
        <source>All files (*)</source>
        <translation>Alle Dateien (*)</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Cycles your instant-messaging display name through a list of names.</source>
        <translation>Lässt Ihren Anzeigenamen im Instant Messenger eine Liste von Namen durchlaufen.</translation>
    </message>
    <message>
        <source>velmira: unknown Messenger client &quot;%1&quot;; the choices are: %2</source>
        <translation>velmira: unbekannter Messenger-Client „%1“; zur Wahl stehen: %2</translation>
    </message>
</context>
<context>
    <name>Velmira</name>
    <message>
        <source>cannot write a temporary copy in &quot;%1&quot;.</source>
        <translation>in „%1“ kann keine vorläufige Kopie geschrieben werden.</translation>
    </message>
</context>
<context>
    <name>Velmira::NamesFile</name>
    <message>
        <source>Could not load the names from &quot;%1&quot;: %2</source>
        <translation>Die Namen konnten nicht aus „%1“ geladen werden: %2</translation>
    </message>
    <message>
        <source>the file does not exist.</source>
        <translation>Die Datei existiert nicht.</translation>
    </message>
    <message>
        <source>this is a folder, not a file.</source>
        <translation>Das ist ein Ordner, keine Datei.</translation>
    </message>
    <message>
        <source>the file is larger than %1 MiB.</source>
        <translation>Die Datei ist größer als %1 MiB.</translation>
    </message>
    <message>
        <source>Could not save the names to &quot;%1&quot;: %2</source>
        <translation>Die Namen konnten nicht in „%1“ gespeichert werden: %2</translation>
    </message>
</context>
<context>
    <name>Velmira::RotationEngine</name>
    <message>
        <source>Could not read the display name in force: %1</source>
        <translation>Der geltende Anzeigename konnte nicht gelesen werden: %1</translation>
    </message>
    <message>
        <source>Could not start: the interval &quot;%1&quot; is not a whole number of milliseconds.</source>
        <translation>Start nicht möglich: Das Intervall „%1“ ist keine ganze Zahl von Millisekunden.</translation>
    </message>
    <message>
        <source>The rotation stopped: could not set the display name &quot;%1&quot;: %2</source>
        <translation>Der Wechsel wurde angehalten: Der Anzeigename „%1“ konnte nicht gesetzt werden: %2</translation>
    </message>
    <message>
        <source>Could not put back the display name &quot;%1&quot;: %2</source>
        <translation>Der Anzeigename „%1“ konnte nicht wiederhergestellt werden: %2</translation>
    </message>
</context>
<context>
    <name>Velmira::SettingsStore</name>
    <message>
        <source>Could not read the settings from &quot;%1&quot;: %2</source>
        <translation>Die Einstellungen konnten nicht aus „%1“ gelesen werden: %2</translation>
    </message>
    <message>
        <source>Could not save the settings to &quot;%1&quot;: %2</source>
        <translation>Die Einstellungen konnten nicht in „%1“ gespeichert werden: %2</translation>
    </message>
    <message>
        <source>cannot create the folder &quot;%1&quot;.</source>
        <translation>Der Ordner „%1“ kann nicht angelegt werden.</translation>
    </message>
    <message>
        <source>the file is in use by another program (another copy of Velmira?).</source>
        <translation>Die Datei wird von einem anderen Programm benutzt (einer zweiten Velmira?).</translation>
    </message>
    <message>
        <source>no permission to create the lock file &quot;%1&quot;.</source>
        <translation>Keine Berechtigung, die Sperrdatei „%1“ anzulegen.</translation>
    </message>
    <message>
        <source>cannot create the lock file &quot;%1&quot;.</source>
        <translation>Die Sperrdatei „%1“ kann nicht angelegt werden.</translation>
    </message>
    <message>
        <source>Using the default settings.</source>
        <translation>Die Standardeinstellungen werden verwendet.</translation>
    </message>
    <message>
        <source>Settings &quot;%1&quot;: &quot;%2&quot; is &quot;%3&quot;, %4; using &quot;%5&quot;.</source>
        <translation>Einstellungen „%1“: „%2“ ist „%3“, %4; „%5“ wird verwendet.</translation>
    </message>
    <message>
        <source>not 0, 1 or 2</source>
        <translation>nicht 0, 1 oder 2</translation>
    </message>
    <message>
        <source>not a positive number</source>
        <translation>keine positive Zahl</translation>
    </message>
</context>
<context>
    <name>frmAbout</name>
    <message>
        <source>About Velmira</source>
        <translation>Über Velmira</translation>
    </message>
    <message>
        <source>Velmira&apos;s version and web addresses. Escape closes it.</source>
        <translation>Version und Webadressen von Velmira. Escape schließt das Fenster.</translation>
    </message>
    <message>
        <source>Velmira banner</source>
        <translation>Velmira-Banner</translation>
    </message>
    <message>
        <source>Author&apos;s home page</source>
        <translation>Homepage des Autors</translation>
    </message>
    <message>
        <source>Velmira web site</source>
        <translation>Velmira-Website</translation>
    </message>
</context>
<context>
    <name>frmMain</name>
    <message>
        <source>Start</source>
        <translation>Starten</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Stopp</translation>
    </message>
    <message>
        <source>Load</source>
        <translation>Laden</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Speichern</translation>
    </message>
    <message>
        <source>About</source>
        <translation>Info</translation>
    </message>
    <message>
        <source>Rotates your display name through a list of names</source>
        <translation>Wechselt Ihren Anzeigenamen durch eine Liste von Namen</translation>
    </message>
    <message>
        <source>Rotation</source>
        <translation>Namenswechsel</translation>
    </message>
    <message>
        <source>Start rotating your display name. Alt+Down opens the options</source>
        <translation>Den Wechsel des Anzeigenamens starten. Alt+Pfeil nach unten öffnet die Optionen</translation>
    </message>
    <message>
        <source>Stop rotating your display name</source>
        <translation>Den Wechsel des Anzeigenamens anhalten</translation>
    </message>
    <message>
        <source>Names lists</source>
        <translation>Namenslisten</translation>
    </message>
    <message>
        <source>Load the names from a preset or a file</source>
        <translation>Die Namen aus einer Vorlage oder einer Datei laden</translation>
    </message>
    <message>
        <source>Save the names to a preset or a file</source>
        <translation>Die Namen in einer Vorlage oder einer Datei speichern</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Hilfe</translation>
    </message>
    <message>
        <source>About Velmira</source>
        <translation>Über Velmira</translation>
    </message>
    <message>
        <source>Your display name as the Messenger client shows it</source>
        <translation>Ihr Anzeigename, wie der Messenger-Client ihn zeigt</translation>
    </message>
    <message>
        <source>Names, one per line</source>
        <translation>Namen, einer pro Zeile</translation>
    </message>
    <message>
        <source>Start shows these names as your display name, one after the other</source>
        <translation>Starten zeigt diese Namen nacheinander als Ihren Anzeigenamen</translation>
    </message>
    <message>
        <source>Where to load the names from</source>
        <translation>Woher die Namen geladen werden</translation>
    </message>
    <message>
        <source>Preset 1</source>
        <translation>Vorlage 1</translation>
    </message>
    <message>
        <source>Preset 2</source>
        <translation>Vorlage 2</translation>
    </message>
    <message>
        <source>Preset 3</source>
        <translation>Vorlage 3</translation>
    </message>
    <message>
        <source>From file</source>
        <translation>Aus Datei</translation>
    </message>
    <message>
        <source>Where to save the names to</source>
        <translation>Wohin die Namen gespeichert werden</translation>
    </message>
    <message>
        <source>To File</source>
        <translation>In Datei</translation>
    </message>
    <message>
        <source>Could not start the Messenger client: %1</source>
        <translation>Der Messenger-Client konnte nicht gestartet werden: %1</translation>
    </message>
    <message>
        <source>Could not start the Messenger client: no client is available.</source>
        <translation>Der Messenger-Client konnte nicht gestartet werden: Es ist kein Client verfügbar.</translation>
    </message>
    <message>
        <source>Could not open %1: the desktop did not accept the address.</source>
        <translation>%1 konnte nicht geöffnet werden: Die Arbeitsumgebung hat die Adresse nicht angenommen.</translation>
    </message>
    <message>
        <source>Could not read the display name: %1</source>
        <translation>Der Anzeigename konnte nicht gelesen werden: %1</translation>
    </message>
    <message>
        <source>Settings &quot;%1&quot;: &quot;Interval&quot; is &quot;%2&quot;, not a number of milliseconds; the Options slider shows its low end.</source>
        <translation>Einstellungen „%1“: „Interval“ ist „%2“, keine Zahl von Millisekunden; der Schieberegler der Optionen zeigt seinen unteren Anschlag.</translation>
    </message>
    <message>
        <source>Load preset...</source>
        <translation>Vorlage laden …</translation>
    </message>
    <message>
        <source>Save preset as...</source>
        <translation>Vorlage speichern unter …</translation>
    </message>
    <message>
        <source>Display name</source>
        <translation>Anzeigename</translation>
    </message>
    <message>
        <source>Interval in milliseconds</source>
        <translation>Intervall in Millisekunden</translation>
    </message>
    <message>
        <source>Display name: %1</source>
        <translation>Anzeigename: %1</translation>
    </message>
</context>
<context>
    <name>frmOptions</name>
    <message>
        <source>Options</source>
        <translation>Optionen</translation>
    </message>
    <message>
        <source>How Velmira rotates your display name</source>
        <translation>Wie Velmira Ihren Anzeigenamen wechselt</translation>
    </message>
    <message>
        <source>Interval (sec)</source>
        <translation>Intervall (Sek.)</translation>
    </message>
    <message>
        <source>Minimize to:</source>
        <translation>Minimieren in:</translation>
    </message>
    <message>
        <source>Interval in seconds</source>
        <translation>Intervall in Sekunden</translation>
    </message>
    <message>
        <source>How long each name stays, from 1 to 10 seconds</source>
        <translation>Wie lange jeder Name bleibt, 1 bis 10 Sekunden</translation>
    </message>
    <message>
        <source>Reset name when stopped.</source>
        <translation>Namen beim Anhalten zurücksetzen.</translation>
    </message>
    <message>
        <source>When the rotation stops, put back the name you had when Velmira started</source>
        <translation>Beim Anhalten den Namen wiederherstellen, den Sie beim Start von Velmira hatten</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Taskbar</source>
        <translation>Taskleiste</translation>
    </message>
    <message>
        <source>System Tray</source>
        <translation>Infobereich</translation>
    </message>
    <message>
        <source>Minimizing leaves the window on the taskbar</source>
        <translation>Beim Minimieren bleibt das Fenster in der Taskleiste</translation>
    </message>
    <message>
        <source>Minimizing hides the window; its icon in the notification area brings it back</source>
        <translation>Minimieren verbirgt das Fenster; sein Symbol im Infobereich holt es zurück</translation>
    </message>
    <message>
        <source>Close the options; every change is already in force</source>
        <translation>Die Optionen schließen; jede Änderung gilt bereits</translation>
    </message>
</context>
</TS>
