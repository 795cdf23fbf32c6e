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
        <translation>Lässt Ihren Anzeigenamen im Messenger-Client reihum durch eine Liste von Namen wechseln.</translation>
    </message>
    <message>
        <source>No messenger client is running: names are shown only inside Velmira until one starts.</source>
        <translation>Es läuft kein Messenger-Client: Die Namen werden nur in Velmira angezeigt, bis einer startet.</translation>
    </message>
    <message>
        <source>Start the rotation of the running Velmira (or start Velmira and its rotation).</source>
        <translation>Startet den Namenswechsel des laufenden Velmira (oder startet Velmira mit dem Namenswechsel).</translation>
    </message>
    <message>
        <source>Stop the rotation of the running Velmira.</source>
        <translation>Hält den Namenswechsel des laufenden Velmira an.</translation>
    </message>
    <message>
        <source>Start the running Velmira&apos;s rotation when it is stopped, stop it when it rotates (or start Velmira and its rotation).</source>
        <translation>Startet den Namenswechsel des laufenden Velmira, wenn er angehalten ist, und hält ihn an, wenn er läuft (oder startet Velmira mit dem Namenswechsel).</translation>
    </message>
    <message>
        <source>Show the running Velmira&apos;s window (or start Velmira).</source>
        <translation>Zeigt das Fenster des laufenden Velmira (oder startet Velmira).</translation>
    </message>
    <message>
        <source>Close the running Velmira the normal way.</source>
        <translation>Beendet das laufende Velmira auf dem gewohnten Weg.</translation>
    </message>
    <message>
        <source>Start with the window hidden in the notification area.</source>
        <translation>Startet mit dem Fenster verborgen im Infobereich.</translation>
    </message>
    <message>
        <source>unknown Messenger client &quot;%1&quot;; the choices are: %2</source>
        <translation>unbekannter Messenger-Client „%1“; zur Wahl stehen: %2</translation>
    </message>
    <message>
        <source>--%1 and --%2 cannot be asked for at once</source>
        <translation>--%1 und --%2 können nicht zugleich verlangt werden</translation>
    </message>
    <message>
        <source>the running Velmira did not answer: %1</source>
        <translation>das laufende Velmira hat nicht geantwortet: %1</translation>
    </message>
    <message>
        <source>no Velmira is running</source>
        <translation>es läuft kein Velmira</translation>
    </message>
    <message>
        <source>the remote control could not be offered on the session bus</source>
        <translation>die Fernsteuerung konnte auf dem Sitzungsbus nicht angeboten werden</translation>
    </message>
</context>
<context>
    <name>Velmira::AppController</name>
    <message>
        <source>&amp;Start</source>
        <translation>&amp;Starten</translation>
    </message>
    <message>
        <source>Start rotating your display name</source>
        <translation>Den Namenswechsel starten</translation>
    </message>
    <message>
        <source>S&amp;top</source>
        <translation>St&amp;opp</translation>
    </message>
    <message>
        <source>Stop rotating your display name</source>
        <translation>Den Namenswechsel anhalten</translation>
    </message>
    <message>
        <source>S&amp;how or Hide</source>
        <translation>&amp;Anzeigen oder Ausblenden</translation>
    </message>
    <message>
        <source>Show or hide Velmira&apos;s window</source>
        <translation>Das Fenster von Velmira anzeigen oder ausblenden</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>Close Velmira: the settings are saved</source>
        <translation>Velmira beenden; die Einstellungen werden gespeichert</translation>
    </message>
    <message>
        <source>Start with the &amp;Session</source>
        <translation>Beim An&amp;melden starten</translation>
    </message>
    <message>
        <source>Start Velmira in the notification area when you log in</source>
        <translation>Velmira beim Anmelden im Infobereich starten</translation>
    </message>
    <message>
        <source>rotating</source>
        <translation>Namenswechsel läuft</translation>
    </message>
    <message>
        <source>stopped</source>
        <translation>angehalten</translation>
    </message>
    <message>
        <source>Velmira (%1)</source>
        <translation>Velmira (%1)</translation>
    </message>
    <message>
        <source>Velmira: %1 (%2)</source>
        <translation>Velmira: %1 (%2)</translation>
    </message>
</context>
<context>
    <name>Velmira::Autostart</name>
    <message>
        <source>Could not change %1: %2</source>
        <translation>%1 konnte nicht geändert werden: %2</translation>
    </message>
    <message>
        <source>its folder cannot be made</source>
        <translation>der Ordner dafür kann nicht angelegt werden</translation>
    </message>
</context>
<context>
    <name>Velmira::DBusClient</name>
    <message>
        <source>Not connected to the D-Bus session bus: %1</source>
        <translation>Keine Verbindung zum D-Bus-Sitzungsbus: %1</translation>
    </message>
    <message>
        <source>Velmira cannot reach %1: there is no session bus.</source>
        <translation>Velmira kann %1 nicht erreichen: Es gibt keinen Sitzungsbus.</translation>
    </message>
    <message>
        <source>%1 is no longer running.</source>
        <translation>%1 läuft nicht mehr.</translation>
    </message>
    <message>
        <source>%1 did not answer in time.</source>
        <translation>%1 hat nicht rechtzeitig geantwortet.</translation>
    </message>
    <message>
        <source>%1 does not offer what Velmira asks of it.</source>
        <translation>%1 bietet nicht an, was Velmira verlangt.</translation>
    </message>
    <message>
        <source>%1 refused the call.</source>
        <translation>%1 hat den Aufruf abgelehnt.</translation>
    </message>
    <message>
        <source>%1: no reply</source>
        <translation>%1: keine Antwort</translation>
    </message>
    <message>
        <source>%1 did not answer.</source>
        <translation>%1 hat nicht geantwortet.</translation>
    </message>
    <message>
        <source>An answer with the signature &quot;%1&quot;, not &quot;%2&quot;</source>
        <translation>Eine Antwort mit der Signatur „%1“ statt „%2“</translation>
    </message>
    <message>
        <source>%1 answered in a way Velmira does not understand.</source>
        <translation>%1 hat so geantwortet, dass Velmira es nicht versteht.</translation>
    </message>
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
        <translation>Wechselt den Nick</translation>
    </message>
    <message>
        <source>HexChat is not connected to any network</source>
        <translation>HexChat ist mit keinem Netzwerk verbunden</translation>
    </message>
    <message>
        <source>HexChat has no network &quot;%1&quot;</source>
        <translation>HexChat hat kein Netzwerk „%1“</translation>
    </message>
    <message>
        <source>HexChat has no tab of the network &quot;%1&quot;</source>
        <translation>HexChat hat keinen Reiter für das Netzwerk „%1“</translation>
    </message>
    <message>
        <source>an IRC nickname cannot be empty</source>
        <translation>ein IRC-Nick darf nicht leer sein</translation>
    </message>
    <message>
        <source>an IRC nickname cannot contain a space</source>
        <translation>ein IRC-Nick darf kein Leerzeichen enthalten</translation>
    </message>
    <message numerus="yes">
        <source>the network allows nicknames of at most %n characters</source>
        <translation>
            <numerusform>das Netzwerk erlaubt Nicks von höchstens %n Zeichen</numerusform>
            <numerusform>das Netzwerk erlaubt Nicks von höchstens %n Zeichen</numerusform>
        </translation>
    </message>
    <message>
        <source>already in use</source>
        <translation>bereits vergeben</translation>
    </message>
    <message>
        <source>not a valid nickname there</source>
        <translation>dort kein gültiger Nick</translation>
    </message>
    <message>
        <source>temporarily unavailable</source>
        <translation>vorübergehend nicht verfügbar</translation>
    </message>
</context>
<context>
    <name>Velmira::KonversationMessenger</name>
    <message>
        <source>No connected server</source>
        <translation>Kein verbundener Server</translation>
    </message>
    <message>
        <source>Konversation is not connected to any server.</source>
        <translation>Konversation ist mit keinem Server verbunden.</translation>
    </message>
    <message>
        <source>No nickname in konversationrc</source>
        <translation>Kein Nick in konversationrc</translation>
    </message>
    <message>
        <source>Konversation&apos;s configuration names no nickname.</source>
        <translation>Die Konfiguration von Konversation nennt keinen Nick.</translation>
    </message>
    <message>
        <source>an IRC nickname cannot be empty</source>
        <translation>ein IRC-Nick darf nicht leer sein</translation>
    </message>
    <message>
        <source>an IRC nickname cannot contain a space</source>
        <translation>ein IRC-Nick darf kein Leerzeichen enthalten</translation>
    </message>
    <message>
        <source>an IRC nickname cannot contain a control character</source>
        <translation>ein IRC-Nick darf kein Steuerzeichen enthalten</translation>
    </message>
    <message>
        <source>Konversation has no server &quot;%1&quot;.</source>
        <translation>Konversation hat keinen Server „%1“.</translation>
    </message>
    <message>
        <source>Konversation tells no one the nickname in force, nor whether a change was made: Velmira sends each name and cannot confirm it. It takes &quot;%1&quot;, the nickname Konversation signs on with, for your own and puts it back after the rotation.</source>
        <translation>Konversation verrät weder den geltenden Nick noch, ob ein Wechsel gelungen ist: Velmira sendet jeden Namen und kann ihn nicht bestätigen. Als Ihren eigenen Nick nimmt Velmira „%1“, mit dem sich Konversation anmeldet, und stellt ihn nach dem Namenswechsel wieder her.</translation>
    </message>
</context>
<context>
    <name>Velmira::Messenger</name>
    <message>
        <source>the Messenger client</source>
        <translation>Messenger-Client</translation>
    </message>
</context>
<context>
    <name>Velmira::MessengerChoice</name>
    <message>
        <source>--pidgin-name takes status or alias, not &quot;%1&quot;</source>
        <translation>--pidgin-name erwartet status oder alias, nicht „%1“</translation>
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
        <source>Messenger client: none is running; names are shown only inside Velmira until one starts</source>
        <translation>Messenger-Client: Es läuft keiner; die Namen werden nur in Velmira angezeigt, bis einer startet</translation>
    </message>
    <message>
        <source>Messenger client: HexChat over D-Bus, rotating the nickname on the first connected network</source>
        <translation>Messenger-Client: HexChat über D-Bus, wechselt den Nick im ersten verbundenen Netzwerk</translation>
    </message>
    <message>
        <source>Messenger client: HexChat over D-Bus, rotating the nickname on the network &quot;%1&quot;</source>
        <translation>Messenger-Client: HexChat über D-Bus, wechselt den Nick im Netzwerk „%1“</translation>
    </message>
    <message>
        <source>HexChat: the network whose nickname to rotate, as named in HexChat&apos;s network list (default: the first connected one).</source>
        <translation>HexChat: das Netzwerk, dessen Nick gewechselt wird, wie es in der Netzwerkliste von HexChat heißt (Standard: das erste verbundene).</translation>
    </message>
    <message>
        <source>name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>--weechat-relay takes host:port or the path of a socket, not &quot;%1&quot;</source>
        <translation>--weechat-relay erwartet Rechner:Port oder den Pfad eines Sockets, nicht „%1“</translation>
    </message>
    <message>
        <source>Messenger client: WeeChat through its FIFO, rotating the nickname on the server &quot;%1&quot;; without its relay no change can be confirmed</source>
        <translation>Messenger-Client: WeeChat über seinen FIFO; gewechselt wird der Nick auf dem Server „%1“; ohne sein Relay kann keine Änderung bestätigt werden</translation>
    </message>
    <message>
        <source>Messenger client: WeeChat through its FIFO, rotating the nickname on the server &quot;%1&quot;, each change confirmed through its relay at %2</source>
        <translation>Messenger-Client: WeeChat über seinen FIFO; gewechselt wird der Nick auf dem Server „%1“, jede Änderung bestätigt über sein Relay unter %2</translation>
    </message>
    <message>
        <source>Pidgin: the user name of the account to drive (default: the first active account whose contacts are known to see the rotated name, else the first active account).</source>
        <translation>Pidgin: der Benutzername des zu steuernden Kontos (Standard: das erste aktive Konto, dessen Kontakte den gewechselten Namen bekanntlich sehen, sonst das erste aktive Konto).</translation>
    </message>
    <message>
        <source>WeeChat: the IRC server whose nickname to rotate, as named in WeeChat (default: the first connected one its relay reports, else the first one that connects at start).</source>
        <translation>WeeChat: der IRC-Server, dessen Nick gewechselt wird, wie er in WeeChat heißt (Standard: der erste verbundene, den sein Relay meldet, sonst der erste, der sich beim Start verbindet).</translation>
    </message>
    <message>
        <source>WeeChat: its relay (weechat protocol) that confirms each change, as host:port or the path of its socket (default: the one in WeeChat&apos;s relay.conf). Its password comes from WeeChat&apos;s configuration, or from the environment variable VELMIRA_WEECHAT_RELAY_PASSWORD.</source>
        <translation>WeeChat: sein Relay (Protokoll weechat), das jede Änderung bestätigt, als Rechner:Port oder Pfad seines Sockets (Standard: das in der relay.conf von WeeChat). Sein Passwort stammt aus der Konfiguration von WeeChat oder aus der Umgebungsvariablen VELMIRA_WEECHAT_RELAY_PASSWORD.</translation>
    </message>
    <message>
        <source>address</source>
        <translation>Adresse</translation>
    </message>
    <message>
        <source>%1 is not running</source>
        <translation>%1 läuft nicht</translation>
    </message>
    <message>
        <source>Messenger client: Konversation over D-Bus, rotating the nickname on the first connected server; no change can be confirmed</source>
        <translation>Messenger-Client: Konversation über D-Bus, wechselt den Nick auf dem ersten verbundenen Server; keine Änderung kann bestätigt werden</translation>
    </message>
    <message>
        <source>Messenger client: Konversation over D-Bus, rotating the nickname on the server &quot;%1&quot;; no change can be confirmed</source>
        <translation>Messenger-Client: Konversation über D-Bus, wechselt den Nick auf dem Server „%1“; keine Änderung kann bestätigt werden</translation>
    </message>
    <message>
        <source>Messenger client: Telepathy (Polari&apos;s) over D-Bus, rotating the nickname of the first enabled IRC account, a connected one first</source>
        <translation>Messenger-Client: Telepathy (von Polari) über D-Bus, wechselt den Nick des ersten aktivierten IRC-Kontos, ein verbundenes zuerst</translation>
    </message>
    <message>
        <source>Messenger client: Telepathy (Polari&apos;s) over D-Bus, rotating the nickname of the account &quot;%1&quot;</source>
        <translation>Messenger-Client: Telepathy (von Polari) über D-Bus, wechselt den Nick des Kontos „%1“</translation>
    </message>
    <message>
        <source>Konversation: the server whose nickname to rotate, by the address Konversation connects to (default: the first connected one).</source>
        <translation>Konversation: der Server, dessen Nick gewechselt wird, nach der Adresse, mit der sich Konversation verbindet (Standard: der erste verbundene).</translation>
    </message>
    <message>
        <source>Telepathy (Polari): the IRC account whose nickname to rotate, by its display name or object path (default: the first enabled IRC account, a connected one first).</source>
        <translation>Telepathy (Polari): das IRC-Konto, dessen Nick gewechselt wird, nach seinem Anzeigenamen oder Objektpfad (Standard: das erste aktivierte IRC-Konto, ein verbundenes zuerst).</translation>
    </message>
    <message>
        <source>account</source>
        <translation>Konto</translation>
    </message>
    <message>
        <source>Messenger client: Pidgin over D-Bus, rotating the alias of the first active account (one whose contacts see status messages first)</source>
        <translation>Messenger-Client: Pidgin über D-Bus; gewechselt wird der Alias des ersten aktiven Kontos (eines, dessen Kontakte Statusnachrichten sehen, zuerst)</translation>
    </message>
    <message>
        <source>Messenger client: Pidgin over D-Bus, rotating the status message of the first active account whose contacts see it</source>
        <translation>Messenger-Client: Pidgin über D-Bus; gewechselt wird die Statusnachricht des ersten aktiven Kontos, dessen Kontakte sie sehen</translation>
    </message>
</context>
<context>
    <name>Velmira::MessengerError</name>
    <message>
        <source>%1

Details: %2</source>
        <translation>%1

Einzelheiten: %2</translation>
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
        <source>the Pidgin account is an IRC account. Pidgin offers no way to change an IRC nickname from outside, and people on IRC see neither a status message nor an alias. Use HexChat, Konversation, WeeChat or Polari for IRC, or choose another account with --pidgin-account.</source>
        <translation>Das Pidgin-Konto ist ein IRC-Konto. Pidgin bietet keinen Weg, einen IRC-Nick von außen zu ändern, und im IRC sieht man weder eine Statusnachricht noch einen Alias. Verwenden Sie für IRC HexChat, Konversation, WeeChat oder Polari, oder wählen Sie mit --pidgin-account ein anderes Konto.</translation>
    </message>
    <message>
        <source>XMPP contacts never see the alias: only Pidgin&apos;s own windows show it. Start Velmira with --pidgin-name=status to rotate what contacts see.</source>
        <translation>XMPP-Kontakte sehen den Alias nie: Nur die Fenster von Pidgin selbst zeigen ihn. Starten Sie Velmira mit --pidgin-name=status, um zu wechseln, was Kontakte sehen.</translation>
    </message>
    <message>
        <source>Velmira cannot tell whether your contacts on %1 see the alias: try it with a contact first.</source>
        <translation>Velmira kann nicht feststellen, ob Ihre Kontakte auf %1 den Alias sehen: Probieren Sie es zuerst mit einem Kontakt aus.</translation>
    </message>
    <message>
        <source>Velmira cannot tell whether your contacts on %1 see the status message: try it with a contact first.</source>
        <translation>Velmira kann nicht feststellen, ob Ihre Kontakte auf %1 die Statusnachricht sehen: Probieren Sie es zuerst mit einem Kontakt aus.</translation>
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
        <source>Could not read the display name in force</source>
        <translation>Der geltende Anzeigename konnte nicht gelesen werden</translation>
    </message>
    <message>
        <source>Velmira ended during a rotation last time: your display name &quot;%1&quot; in %2 has been put back.</source>
        <translation>Velmira wurde beim letzten Mal während eines Namenswechsels beendet: Ihr Anzeigename „%1“ (%2) wurde wiederhergestellt.</translation>
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
        <translation>Der Namenswechsel wurde angehalten: Das Programm „%1“ läuft nicht mehr. Ihr Anzeigename wird wiederhergestellt, sobald es wieder läuft.</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>The last rotation ended when %2 quit: your display name &quot;%1&quot; in %2 has been put back.</source>
        <translation>Der letzte Namenswechsel endete, als %2 beendet wurde: Ihr Anzeigename „%1“ in %2 wurde wiederhergestellt.</translation>
    </message>
    <message>
        <source>Could not start: %1 is not running.</source>
        <translation>Start nicht möglich: %1 läuft nicht.</translation>
    </message>
    <message>
        <source>Could not start: %1</source>
        <translation>Start nicht möglich: %1</translation>
    </message>
    <message>
        <source>%1 sends one line every %2 s: names change every %3 s.</source>
        <translation>%1 sendet eine Zeile alle %2 s: Die Namen wechseln alle %3 s.</translation>
    </message>
</context>
<context>
    <name>Velmira::RotationSession</name>
    <message>
        <source>The name &quot;%1&quot; is not yet confirmed by %2: Velmira skips names until it is, so that no changes queue up and arrive after the rotation.</source>
        <translation>Der Name „%1“ ist von %2 noch nicht bestätigt: Velmira überspringt Namen, bis er es ist, damit sich keine Änderungen stauen und erst nach dem Namenswechsel ankommen.</translation>
    </message>
    <message>
        <source>The rotation stopped: could not set the display name &quot;%1&quot;: %2</source>
        <translation>Der Namenswechsel wurde angehalten: Der Anzeigename „%1“ konnte nicht gesetzt werden: %2</translation>
    </message>
    <message>
        <source>The name &quot;%1&quot; was refused by %2: %3. It is left out for the rest of this rotation.</source>
        <translation>%2 hat den Namen „%1“ abgelehnt: %3. Er wird für den Rest dieses Namenswechsels ausgelassen.</translation>
    </message>
    <message>
        <source>Could not put back the display name &quot;%1&quot;: %2</source>
        <translation>Der Anzeigename „%1“ konnte nicht wiederhergestellt werden: %2</translation>
    </message>
    <message>
        <source>Your display name may not come back if Velmira ends unexpectedly. %1</source>
        <translation>Ihr Anzeigename kommt womöglich nicht zurück, falls Velmira unerwartet endet. %1</translation>
    </message>
    <message>
        <source>Could not record the display name to put back: %1</source>
        <translation>Der wiederherzustellende Anzeigename konnte nicht festgehalten werden: %1</translation>
    </message>
</context>
<context>
    <name>Velmira::Settings</name>
    <message>
        <source>put each name on a new line...</source>
        <translation>jeden Namen in eine neue Zeile schreiben …</translation>
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
        <translation>Die Datei wird von einem anderen Programm benutzt (läuft Velmira ein zweites Mal?).</translation>
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
        <source>it holds lines Velmira cannot read back, and no copy of it could be kept in &quot;%1&quot;: %2. It was left as it is.</source>
        <translation>Die Datei enthält Zeilen, die Velmira nicht zurücklesen kann, und in „%1“ konnte keine Kopie aufbewahrt werden: %2. Sie wurde unverändert gelassen.</translation>
    </message>
    <message>
        <source>The settings file &quot;%1&quot; held lines Velmira could not read back exactly. It was kept as it was in &quot;%2&quot;; the entries that could be read are used.</source>
        <translation>Die Einstellungsdatei „%1“ enthielt Zeilen, die Velmira nicht genau zurücklesen konnte. Sie wurde unverändert als „%2“ aufbewahrt; die lesbaren Einträge werden verwendet.</translation>
    </message>
</context>
<context>
    <name>Velmira::TelepathyMessenger</name>
    <message numerus="yes">
        <source>the server did not take it within %n seconds (most likely someone else has it; Telepathy does not say)</source>
        <translation>
            <numerusform>der Server hat ihn nicht binnen %n Sekunde angenommen (vermutlich hat ihn schon jemand; Telepathy sagt es nicht)</numerusform>
            <numerusform>der Server hat ihn nicht binnen %n Sekunden angenommen (vermutlich hat ihn schon jemand; Telepathy sagt es nicht)</numerusform>
        </translation>
    </message>
    <message>
        <source>The Telepathy account &quot;%1&quot; is not an IRC account: Velmira changes IRC nicknames only.</source>
        <translation>Das Telepathy-Konto „%1“ ist kein IRC-Konto: Velmira wechselt nur IRC-Nicks.</translation>
    </message>
    <message>
        <source>Telepathy has no enabled IRC account.</source>
        <translation>Telepathy hat kein aktiviertes IRC-Konto.</translation>
    </message>
    <message>
        <source>Telepathy has no account &quot;%1&quot;.</source>
        <translation>Telepathy hat kein Konto „%1“.</translation>
    </message>
    <message>
        <source>an IRC nickname cannot be empty</source>
        <translation>ein IRC-Nick darf nicht leer sein</translation>
    </message>
    <message>
        <source>an IRC nickname cannot contain a space</source>
        <translation>ein IRC-Nick darf kein Leerzeichen enthalten</translation>
    </message>
</context>
<context>
    <name>Velmira::WeechatMessenger</name>
    <message>
        <source>its password is kept encrypted in WeeChat&apos;s secured data; give it to Velmira in the environment variable %1</source>
        <translation>sein Passwort liegt verschlüsselt in den gesicherten Daten von WeeChat; geben Sie es Velmira in der Umgebungsvariablen %1</translation>
    </message>
    <message>
        <source>nothing answers at %1</source>
        <translation>unter %1 antwortet nichts</translation>
    </message>
    <message>
        <source>the relay at %1 did not accept the password, or did not answer</source>
        <translation>das Relay unter %1 hat das Passwort nicht angenommen oder nicht geantwortet</translation>
    </message>
    <message>
        <source>the server answered with error %1</source>
        <translation>der Server antwortete mit dem Fehler %1</translation>
    </message>
    <message>
        <source>already in use</source>
        <translation>bereits vergeben</translation>
    </message>
    <message>
        <source>not a valid nickname there</source>
        <translation>dort kein gültiger Nick</translation>
    </message>
    <message>
        <source>temporarily unavailable</source>
        <translation>vorübergehend nicht verfügbar</translation>
    </message>
    <message>
        <source>WeeChat process %1 has ended</source>
        <translation>Der WeeChat-Prozess %1 ist beendet</translation>
    </message>
    <message>
        <source>No FIFO of a running WeeChat in %1</source>
        <translation>Kein FIFO eines laufenden WeeChat in %1</translation>
    </message>
    <message>
        <source>WeeChat is no longer running.</source>
        <translation>WeeChat läuft nicht mehr.</translation>
    </message>
    <message>
        <source>The relay closed the connection</source>
        <translation>Das Relay hat die Verbindung geschlossen</translation>
    </message>
    <message>
        <source>WeeChat&apos;s relay closed the connection: changes can no longer be confirmed. Start Velmira again to go on without it.</source>
        <translation>Das Relay von WeeChat hat die Verbindung geschlossen: Änderungen können nicht mehr bestätigt werden. Starten Sie Velmira neu, um ohne es weiterzumachen.</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>WeeChat does not read its FIFO: it may be hanging.</source>
        <translation>WeeChat liest seinen FIFO nicht: Es hängt womöglich.</translation>
    </message>
    <message>
        <source>Could not write to WeeChat&apos;s FIFO.</source>
        <translation>In den FIFO von WeeChat konnte nicht geschrieben werden.</translation>
    </message>
    <message>
        <source>an IRC nickname cannot be empty</source>
        <translation>ein IRC-Nick darf nicht leer sein</translation>
    </message>
    <message>
        <source>an IRC nickname cannot contain a space</source>
        <translation>ein IRC-Nick darf kein Leerzeichen enthalten</translation>
    </message>
    <message>
        <source>an IRC nickname cannot contain a control character</source>
        <translation>ein IRC-Nick darf kein Steuerzeichen enthalten</translation>
    </message>
    <message numerus="yes">
        <source>the network allows nicknames of at most %n characters</source>
        <translation>
            <numerusform>das Netzwerk erlaubt Nicks von höchstens %n Zeichen</numerusform>
            <numerusform>das Netzwerk erlaubt Nicks von höchstens %n Zeichen</numerusform>
        </translation>
    </message>
    <message>
        <source>WeeChat has no IRC server.</source>
        <translation>WeeChat hat keinen IRC-Server.</translation>
    </message>
    <message>
        <source>WeeChat has no IRC server &quot;%1&quot;.</source>
        <translation>WeeChat hat keinen IRC-Server „%1“.</translation>
    </message>
    <message>
        <source>WeeChat is driven through its FIFO alone: Velmira cannot see whether a nickname change reached the server, nor read the nickname in force. A relay in WeeChat lets it confirm each change.</source>
        <translation>WeeChat wird allein über seinen FIFO gesteuert: Velmira kann weder sehen, ob ein Nick-Wechsel beim Server angekommen ist, noch den geltenden Nick lesen. Ein Relay in WeeChat lässt Velmira jede Änderung bestätigen.</translation>
    </message>
    <message>
        <source>WeeChat&apos;s relay cannot be used: %1.</source>
        <translation>Das Relay von WeeChat kann nicht verwendet werden: %1.</translation>
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
        <translation>Version und Webadressen von Velmira. Esc schließt das Fenster.</translation>
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
        <source>Rotates your display name through a list of names</source>
        <translation>Lässt Ihren Anzeigenamen reihum durch eine Liste von Namen wechseln</translation>
    </message>
    <message>
        <source>Rotation</source>
        <translation>Namenswechsel</translation>
    </message>
    <message>
        <source>Start rotating your display name. Alt+Down opens the options</source>
        <translation>Den Namenswechsel starten. Alt+Pfeil nach unten öffnet die Optionen</translation>
    </message>
    <message>
        <source>Stop rotating your display name</source>
        <translation>Den Namenswechsel anhalten</translation>
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
        <source>&amp;Start</source>
        <translation>&amp;Starten</translation>
    </message>
    <message>
        <source>S&amp;top</source>
        <translation>St&amp;opp</translation>
    </message>
    <message>
        <source>&amp;Load</source>
        <translation>&amp;Laden</translation>
    </message>
    <message>
        <source>Sa&amp;ve</source>
        <translation>S&amp;peichern</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>&amp;Info</translation>
    </message>
    <message>
        <source>%1 is no longer running: Velmira uses it again when it is back.</source>
        <translation>%1 läuft nicht mehr: Velmira verwendet es wieder, sobald es zurück ist.</translation>
    </message>
    <message>
        <source>%1 (sent; %2 cannot confirm it)</source>
        <translation>%1 (gesendet; %2 kann es nicht bestätigen)</translation>
    </message>
    <message>
        <source>Could not read the display name: %1</source>
        <translation>Der Anzeigename konnte nicht gelesen werden: %1</translation>
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
        <source>Minimize to:</source>
        <translation>Minimieren in:</translation>
    </message>
    <message>
        <source>Interval in seconds</source>
        <translation>Intervall in Sekunden</translation>
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
    <message>
        <source>&amp;Interval (sec)</source>
        <translation>&amp;Intervall (Sek.)</translation>
    </message>
    <message>
        <source>&amp;Reset name when stopped.</source>
        <translation>&amp;Namen beim Anhalten wiederherstellen.</translation>
    </message>
    <message>
        <source>&amp;Taskbar</source>
        <translation>&amp;Taskleiste</translation>
    </message>
    <message>
        <source>&amp;System Tray</source>
        <translation>Info&amp;bereich</translation>
    </message>
    <message>
        <source>%1 s: each name stays that many seconds, from 1 to 10</source>
        <translation>%1 s: So viele Sekunden bleibt jeder Name, 1 bis 10</translation>
    </message>
</context>
</TS>
