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
    <message>
        <source>%1 is no longer running: Velmira uses it again when it is back.</source>
        <translation>Nicht mehr aktiv: %1. Velmira verwendet das Programm wieder, sobald es zurück ist.</translation>
    </message>
    <message>
        <source>No messenger client is running: names are shown only inside Velmira until one starts.</source>
        <translation>Es läuft kein Messenger-Client: Die Namen werden nur in Velmira angezeigt, bis einer startet.</translation>
    </message>
</context>
<context>
    <name>Velmira::BuiltinMessenger</name>
    <message>
        <source>The built-in client is gone</source>
        <translation>Der eingebaute Client ist nicht mehr vorhanden</translation>
    </message>
</context>
<context>
    <name>Velmira::DBusMessenger</name>
    <message>
        <source>Cannot receive %1 from %2: %3</source>
        <translation>%1 kann nicht von %2 empfangen werden: %3</translation>
    </message>
</context>
<context>
    <name>Velmira::FileError</name>
    <message>
        <source>no space left on the device</source>
        <translation>kein Platz mehr auf dem Datenträger</translation>
    </message>
    <message>
        <source>the disk quota is used up</source>
        <translation>das Speicherkontingent ist ausgeschöpft</translation>
    </message>
    <message>
        <source>no permission to write there</source>
        <translation>keine Berechtigung, dort zu schreiben</translation>
    </message>
    <message>
        <source>the device is read-only</source>
        <translation>der Datenträger ist schreibgeschützt</translation>
    </message>
    <message>
        <source>the device reported an input/output error</source>
        <translation>der Datenträger meldete einen Ein-/Ausgabefehler</translation>
    </message>
    <message>
        <source>the file is too large for the device</source>
        <translation>die Datei ist zu groß für den Datenträger</translation>
    </message>
    <message>
        <source>the name is too long</source>
        <translation>der Name ist zu lang</translation>
    </message>
    <message>
        <source>the folder does not exist</source>
        <translation>der Ordner existiert nicht</translation>
    </message>
    <message>
        <source>a part of the path is not a folder</source>
        <translation>ein Teil des Pfades ist kein Ordner</translation>
    </message>
    <message>
        <source>there is a folder of that name</source>
        <translation>es gibt einen Ordner mit diesem Namen</translation>
    </message>
    <message>
        <source>the system gave no reason</source>
        <translation>das System nannte keinen Grund</translation>
    </message>
</context>
<context>
    <name>Velmira::HexchatMessenger</name>
    <message>
        <source>Rotates the nickname</source>
        <translation>Wechselt den Spitznamen</translation>
    </message>
    <message>
        <source>HexChat is not running</source>
        <translation>HexChat läuft nicht</translation>
    </message>
    <message>
        <source>HexChat is not connected to any network</source>
        <translation>HexChat ist mit keinem Netzwerk verbunden</translation>
    </message>
    <message>
        <source>HexChat has no network &quot;%1&quot;</source>
        <translation>HexChat hat kein Netzwerk &quot;%1&quot;</translation>
    </message>
    <message>
        <source>HexChat has no tab of the network &quot;%1&quot;</source>
        <translation>HexChat hat keinen Reiter für das Netzwerk &quot;%1&quot;</translation>
    </message>
    <message>
        <source>an IRC nickname cannot be empty</source>
        <translation>ein IRC-Spitzname darf nicht leer sein</translation>
    </message>
    <message>
        <source>an IRC nickname cannot contain a space</source>
        <translation>ein IRC-Spitzname darf kein Leerzeichen enthalten</translation>
    </message>
    <message numerus="yes">
        <source>the network allows nicknames of at most %n characters</source>
        <translation>
            <numerusform>das Netzwerk erlaubt Spitznamen von höchstens %n Zeichen</numerusform>
            <numerusform>das Netzwerk erlaubt Spitznamen von höchstens %n Zeichen</numerusform>
        </translation>
    </message>
    <message>
        <source>The server has not yet confirmed the nickname &quot;%1&quot;: Velmira skips names until it has, so that no changes queue up and arrive after the rotation.</source>
        <translation>Der Server hat den Spitznamen &quot;%1&quot; noch nicht bestätigt: Velmira überspringt Namen, bis er es tut, damit sich keine Änderungen stauen und erst nach dem Wechsel ankommen.</translation>
    </message>
    <message>
        <source>Could not send the nickname &quot;%1&quot;: %2</source>
        <translation>Der Spitzname &quot;%1&quot; konnte nicht gesendet werden: %2</translation>
    </message>
    <message>
        <source>already in use</source>
        <translation>bereits vergeben</translation>
    </message>
    <message>
        <source>not a valid nickname there</source>
        <translation>dort kein gültiger Spitzname</translation>
    </message>
    <message>
        <source>temporarily unavailable</source>
        <translation>vorübergehend nicht verfügbar</translation>
    </message>
    <message>
        <source>The server refused the nickname &quot;%1&quot;: %2.</source>
        <translation>Der Server hat den Spitznamen &quot;%1&quot; abgelehnt: %2.</translation>
    </message>
</context>
<context>
    <name>Velmira::Messenger</name>
    <message>
        <source>the Messenger client</source>
        <translation>Messenger-Client</translation>
    </message>
    <message>
        <source>The client has no services</source>
        <translation>Der Client bietet keine Dienste an</translation>
    </message>
    <message>
        <source>The client has no primary service</source>
        <translation>Der Client hat keinen Hauptdienst</translation>
    </message>
</context>
<context>
    <name>Velmira::MessengerBus</name>
    <message>
        <source>The Messenger client refused the call.</source>
        <translation>Der Messenger-Client hat den Aufruf abgelehnt.</translation>
    </message>
    <message>
        <source>The Messenger client did not answer in time.</source>
        <translation>Der Messenger-Client hat nicht rechtzeitig geantwortet.</translation>
    </message>
    <message>
        <source>The Messenger client is no longer running.</source>
        <translation>Der Messenger-Client läuft nicht mehr.</translation>
    </message>
    <message>
        <source>Not connected to the D-Bus session bus: %1</source>
        <translation>Keine Verbindung zum D-Bus-Sitzungsbus: %1</translation>
    </message>
    <message>
        <source>%1.%2: no reply</source>
        <translation>%1.%2: keine Antwort</translation>
    </message>
    <message>
        <source>%1.%2 answered with the signature &quot;%3&quot;, not &quot;%4&quot;</source>
        <translation>%1.%2 antwortete mit der Signatur „%3“ statt „%4“</translation>
    </message>
</context>
<context>
    <name>Velmira::MessengerChoice</name>
    <message>
        <source>--pidgin-name takes status or alias, not &quot;%1&quot;</source>
        <translation>--pidgin-name erwartet status oder alias, nicht „%1“</translation>
    </message>
    <message>
        <source>Messenger client: Pidgin over D-Bus, rotating the alias of the first active account</source>
        <translation>Messenger-Client: Pidgin über D-Bus; gewechselt wird der Alias des ersten aktiven Kontos</translation>
    </message>
    <message>
        <source>Messenger client: Pidgin over D-Bus, rotating the status message of the first active account</source>
        <translation>Messenger-Client: Pidgin über D-Bus; gewechselt wird die Statusnachricht des ersten aktiven Kontos</translation>
    </message>
    <message>
        <source>Messenger client: Pidgin over D-Bus, rotating the alias of the account &quot;%1&quot;%2</source>
        <translation>Messenger-Client: Pidgin über D-Bus; gewechselt wird der Alias des Kontos „%1“%2</translation>
    </message>
    <message>
        <source>Messenger client: Pidgin over D-Bus, rotating the status message of the account &quot;%1&quot;%2</source>
        <translation>Messenger-Client: Pidgin über D-Bus; gewechselt wird die Statusnachricht des Kontos „%1“%2</translation>
    </message>
    <message>
        <source>Messenger client: %1 on the D-Bus session bus</source>
        <translation>Messenger-Client: %1 auf dem D-Bus-Sitzungsbus</translation>
    </message>
    <message>
        <source>The Messenger client to drive: %1. auto takes the first of them that runs, and binds to one that starts later; until then names are shown only inside Velmira.</source>
        <translation>Der zu steuernde Messenger-Client: %1. auto nimmt den ersten davon, der läuft, und verbindet sich mit einem, der später startet; bis dahin werden die Namen nur in Velmira angezeigt.</translation>
    </message>
    <message>
        <source>client</source>
        <translation>Client</translation>
    </message>
    <message>
        <source>Pidgin: the user name of the account to drive (default: the first active account).</source>
        <translation>Pidgin: der Benutzername des zu steuernden Kontos (Standard: das erste aktive Konto).</translation>
    </message>
    <message>
        <source>user</source>
        <translation>Benutzer</translation>
    </message>
    <message>
        <source>Pidgin: the protocol id of that account, e.g. prpl-jabber (default: any).</source>
        <translation>Pidgin: die Protokollkennung dieses Kontos, etwa prpl-jabber (Standard: beliebig).</translation>
    </message>
    <message>
        <source>id</source>
        <translation>Kennung</translation>
    </message>
    <message>
        <source>Pidgin: rotate the account&apos;s status message (what contacts see), or its alias (which XMPP contacts never see).</source>
        <translation>Pidgin: die Statusnachricht des Kontos wechseln (die Ihre Kontakte sehen) oder seinen Alias (den XMPP-Kontakte nie sehen).</translation>
    </message>
    <message>
        <source>Messenger client: built-in</source>
        <translation>Messenger-Client: eingebaut</translation>
    </message>
    <message>
        <source>--messenger does not take &quot;%1&quot;</source>
        <translation>--messenger kennt „%1“ nicht</translation>
    </message>
    <message>
        <source>%1 is not running (no %2 on the session bus)</source>
        <translation>%1 läuft nicht (kein %2 auf dem Sitzungsbus)</translation>
    </message>
    <message>
        <source>Messenger client: none is running; names are shown only inside Velmira until one starts</source>
        <translation>Messenger-Client: Es läuft keiner; die Namen werden nur in Velmira angezeigt, bis einer startet</translation>
    </message>
    <message>
        <source>Messenger client: HexChat over D-Bus, rotating the nickname on the first connected network</source>
        <translation>Messenger-Client: HexChat über D-Bus, wechselt den Spitznamen im ersten verbundenen Netzwerk</translation>
    </message>
    <message>
        <source>Messenger client: HexChat over D-Bus, rotating the nickname on the network &quot;%1&quot;</source>
        <translation>Messenger-Client: HexChat über D-Bus, wechselt den Spitznamen im Netzwerk &quot;%1&quot;</translation>
    </message>
    <message>
        <source>HexChat: the network whose nickname to rotate, as named in HexChat&apos;s network list (default: the first connected one).</source>
        <translation>HexChat: das Netzwerk, dessen Spitzname gewechselt wird, wie es in der Netzwerkliste von HexChat heißt (Vorgabe: das erste verbundene).</translation>
    </message>
    <message>
        <source>name</source>
        <translation>Name</translation>
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
    <name>Velmira::PidginMessenger</name>
    <message>
        <source>Pidgin is no longer running.</source>
        <translation>Pidgin läuft nicht mehr.</translation>
    </message>
    <message>
        <source>Pidgin did not answer in time.</source>
        <translation>Pidgin hat nicht rechtzeitig geantwortet.</translation>
    </message>
    <message>
        <source>Pidgin refused the change.</source>
        <translation>Pidgin hat die Änderung abgelehnt.</translation>
    </message>
    <message>
        <source>PurpleSavedstatusNew gave no status</source>
        <translation>PurpleSavedstatusNew lieferte keinen Status</translation>
    </message>
    <message>
        <source>Pidgin refused to make a status for the rotation.</source>
        <translation>Pidgin hat es abgelehnt, einen Status für den Namenswechsel anzulegen.</translation>
    </message>
    <message>
        <source>Pidgin has no account &quot;%1&quot;</source>
        <translation>Pidgin hat kein Konto „%1“</translation>
    </message>
    <message>
        <source>Pidgin has no account &quot;%1&quot; of the protocol %2</source>
        <translation>Pidgin hat kein Konto „%1“ mit dem Protokoll %2</translation>
    </message>
    <message>
        <source>Pidgin has no active account</source>
        <translation>Pidgin hat kein aktives Konto</translation>
    </message>
    <message>
        <source>Pidgin: could not write the waiting name: %1</source>
        <translation>Pidgin: Der noch ausstehende Name konnte nicht geschrieben werden: %1</translation>
    </message>
</context>
<context>
    <name>Velmira::RestoreRecord</name>
    <message>
        <source>Could not read %1: %2</source>
        <translation>%1 konnte nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>Could not read %1: it is not a restore record.</source>
        <translation>%1 konnte nicht gelesen werden: Die Datei enthält keine Angaben zum Wiederherstellen.</translation>
    </message>
    <message>
        <source>Could not write %1: %2</source>
        <translation>%1 konnte nicht geschrieben werden: %2</translation>
    </message>
    <message>
        <source>Could not remove %1: %2</source>
        <translation>%1 konnte nicht entfernt werden: %2</translation>
    </message>
</context>
<context>
    <name>Velmira::RotationEngine</name>
    <message>
        <source>Could not start: the interval &quot;%1&quot; is not a whole number of milliseconds.</source>
        <translation>Start nicht möglich: Das Intervall „%1“ ist keine ganze Zahl von Millisekunden.</translation>
    </message>
    <message>
        <source>%1: %2

Details: %3</source>
        <translation>%1: %2

Einzelheiten: %3</translation>
    </message>
    <message>
        <source>Could not read the display name in force</source>
        <translation>Der geltende Anzeigename konnte nicht gelesen werden</translation>
    </message>
    <message>
        <source>Velmira ended during a rotation last time: your display name &quot;%1&quot; in %2 has been put back.</source>
        <translation>Velmira wurde beim letzten Mal während eines Namenswechsels beendet: Ihr Anzeigename „%1“ (%2) wurde wiederhergestellt.</translation>
    </message>
    <message>
        <source>Could not put back the display name of the last rotation</source>
        <translation>Der Anzeigename des letzten Namenswechsels konnte nicht wiederhergestellt werden</translation>
    </message>
    <message>
        <source>Your display name may not come back if Velmira ends unexpectedly. %1</source>
        <translation>Ihr Anzeigename kommt womöglich nicht zurück, falls Velmira unerwartet endet. %1</translation>
    </message>
    <message>
        <source>Could not record the display name to put back</source>
        <translation>Der wiederherzustellende Anzeigename konnte nicht festgehalten werden</translation>
    </message>
    <message>
        <source>Could not start: line %1, &quot;%2&quot;, cannot be a display name in %3: %4</source>
        <translation>Start nicht möglich: Zeile %1, „%2“, kann kein Anzeigename sein (%3): %4</translation>
    </message>
    <message>
        <source>Could not start</source>
        <translation>Start nicht möglich</translation>
    </message>
    <message>
        <source>The rotation stopped: %1 is no longer running. Your display name is put back when it is running again.</source>
        <translation>Der Wechsel wurde angehalten: Das Programm „%1“ läuft nicht mehr. Ihr Anzeigename wird wiederhergestellt, sobald es wieder läuft.</translation>
    </message>
    <message>
        <source>The rotation stopped: could not set the display name &quot;%1&quot;</source>
        <translation>Der Wechsel wurde angehalten: Der Anzeigename „%1“ konnte nicht gesetzt werden</translation>
    </message>
    <message>
        <source>Could not put back the display name &quot;%1&quot;</source>
        <translation>Der Anzeigename „%1“ konnte nicht wiederhergestellt werden</translation>
    </message>
    <message>
        <source>Could not end the rotation</source>
        <translation>Der Namenswechsel konnte nicht beendet werden</translation>
    </message>
</context>
<context>
    <name>Velmira::Settings</name>
    <message>
        <source>put each name on a new line...</source>
        <translation>jeden Namen in eine neue Zeile schreiben...</translation>
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
    <message>
        <source>cannot write a temporary copy in &quot;%1&quot;.</source>
        <translation>In „%1“ kann keine vorläufige Kopie geschrieben werden.</translation>
    </message>
    <message>
        <source>it holds lines Velmira cannot read back, and no copy of it could be kept in &quot;%1&quot;: %2. It was left as it is.</source>
        <translation>Die Datei enthält Zeilen, die Velmira nicht zurücklesen kann, und in „%1“ konnte keine Kopie aufbewahrt werden: %2. Sie wurde unverändert gelassen.</translation>
    </message>
    <message>
        <source>The settings file &quot;%1&quot; held lines Velmira could not read back exactly. It was kept as it was in &quot;%2&quot;; the entries that could be read are used.</source>
        <translation>Die Einstellungsdatei „%1“ enthielt Zeilen, die Velmira nicht genau zurücklesen konnte. Sie wurde unverändert als „%2“ aufbewahrt; die lesbaren Einträge werden verwendet.</translation>
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
    <message>
        <source>Could not read the display name: %1

Details: %2</source>
        <translation>Der Anzeigename konnte nicht gelesen werden: %1

Einzelheiten: %2</translation>
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
