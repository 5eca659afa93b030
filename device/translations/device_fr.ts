<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_FR">
<context>
    <name>FirmwareDownloader</name>
    <message>
        <source>&quot;%1&quot; is not a web address.</source>
        <translation>« %1 » n&apos;est pas une adresse web.</translation>
    </message>
    <message>
        <source>The answer is larger than %1 bytes.</source>
        <translation>La réponse dépasse %1 octets.</translation>
    </message>
    <message>
        <source>The address lies outside the firmware repository: it was asked without the repository&apos;s credential.</source>
        <translation>L&apos;adresse est en dehors du dépôt des firmwares : elle a été demandée sans l&apos;identifiant du dépôt.</translation>
    </message>
    <message>
        <source>The answer is no HTTP reply.</source>
        <translation>La réponse n&apos;est pas une réponse HTTP.</translation>
    </message>
    <message>
        <source>The answer was cut short.</source>
        <translation>La réponse a été tronquée.</translation>
    </message>
    <message>
        <source>The server answered with status %1.</source>
        <translation>Le serveur a répondu avec le statut %1.</translation>
    </message>
</context>
<context>
    <name>FirmwareMgt</name>
    <message>
        <source>Firmware repository not configured</source>
        <translation>Dépôt des firmwares non configuré</translation>
    </message>
    <message>
        <source>Download Error</source>
        <translation>Erreur de téléchargement</translation>
    </message>
    <message>
        <source>The table of contents of the firmware could not be downloaded:</source>
        <translation>La table des matières des firmwares n&apos;a pas pu être téléchargée :</translation>
    </message>
    <message>
        <source>The list of firmware images could not be downloaded:</source>
        <translation>La liste des images de firmware n&apos;a pas pu être téléchargée :</translation>
    </message>
    <message>
        <source>The firmware image could not be downloaded:</source>
        <translation>L&apos;image du firmware n&apos;a pas pu être téléchargée :</translation>
    </message>
    <message>
        <source>The image is empty.</source>
        <translation>L&apos;image est vide.</translation>
    </message>
    <message>
        <source>%1 Firmwares Available</source>
        <translation>%1 firmwares disponibles</translation>
    </message>
    <message>
        <source>Download Firmware</source>
        <translation>Télécharger le firmware</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Erreur</translation>
    </message>
    <message>
        <source>Impossible to write file %1</source>
        <translation>Impossible d&apos;écrire le fichier %1</translation>
    </message>
    <message>
        <source>Confirmation</source>
        <translation>Confirmation</translation>
    </message>
    <message>
        <source>Upload firmware </source>
        <translation>Installer le firmware </translation>
    </message>
    <message>
        <source>Impossible to load binary file</source>
        <translation>Impossible de charger le fichier binaire</translation>
    </message>
    <message>
        <source>Update firmware needs bootloader update</source>
        <translation>La mise à jour du firmware nécessite celle du bootloader</translation>
    </message>
    <message>
        <source>Firmware already installed</source>
        <translation>Firmware déjà installé</translation>
    </message>
    <message>
        <source>Bootloader already installed</source>
        <translation>Bootloader déjà installé</translation>
    </message>
    <message>
        <source>Too old firmware file</source>
        <translation>Fichier de firmware trop ancien</translation>
    </message>
    <message>
        <source>Number of bytes sent: %1/%2</source>
        <translation>Nombre d&apos;octets envoyés : %1/%2</translation>
    </message>
    <message>
        <source>Installation failed: %1</source>
        <translation>Échec de l&apos;installation : %1</translation>
    </message>
    <message>
        <source>Computer disconnected</source>
        <translation>Ordinateur déconnecté</translation>
    </message>
    <message>
        <source>Open Firmware</source>
        <translation>Ouvrir un firmware</translation>
    </message>
    <message>
        <source>Firmware Files (*.bin)</source>
        <translation>Fichiers de firmware (*.bin)</translation>
    </message>
    <message>
        <source>Installation Successfull in %1</source>
        <translation>Installation réussie en %1</translation>
    </message>
</context>
<context>
    <name>FirmwareMgtClass</name>
    <message>
        <source>Firmware</source>
        <translation>Firmware</translation>
    </message>
    <message>
        <source>Nom</source>
        <translation>Nom</translation>
    </message>
    <message>
        <source>Version</source>
        <translation>Version</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>Date</translation>
    </message>
    <message>
        <source>Description</source>
        <translation>Description</translation>
    </message>
    <message>
        <source>Firmware from disk</source>
        <translation>Firmware depuis le disque</translation>
    </message>
    <message>
        <source>Force same version</source>
        <translation>Forcer la même version</translation>
    </message>
    <message>
        <source>Open Firmwares Folder</source>
        <translation>Ouvrir le dossier des firmwares</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>Ok</translation>
    </message>
</context>
<context>
    <name>FormBluetoothConnect</name>
    <message>
        <source>Connect to computer...</source>
        <translation>Connexion à l&apos;ordinateur...</translation>
    </message>
    <message>
        <source>Search computer...</source>
        <translation>Recherche de l&apos;ordinateur...</translation>
    </message>
    <message>
        <source>Computer found, connecting...</source>
        <translation>Ordinateur trouvé, connexion...</translation>
    </message>
    <message>
        <source>No Device Found</source>
        <translation>Aucun appareil trouvé</translation>
    </message>
    <message>
        <source>Problem on Create Device</source>
        <translation>Problème à la création de l&apos;appareil</translation>
    </message>
    <message>
        <source>Error on Create Device</source>
        <translation>Erreur à la création de l&apos;appareil</translation>
    </message>
    <message>
        <source>Device Connected</source>
        <translation>Appareil connecté</translation>
    </message>
    <message>
        <source>No Computer Found</source>
        <translation>Aucun ordinateur trouvé</translation>
    </message>
    <message>
        <source>No Controller</source>
        <translation>Aucun contrôleur</translation>
    </message>
    <message>
        <source>Controller Error: </source>
        <translation>Erreur du contrôleur : </translation>
    </message>
    <message>
        <source>Exchange Error: </source>
        <translation>Erreur d&apos;échange : </translation>
    </message>
    <message>
        <source>Firmware version: </source>
        <translation>Version du firmware : </translation>
    </message>
    <message>
        <source>Serial number: </source>
        <translation>Numéro de série : </translation>
    </message>
    <message>
        <source>Ambiant pressure: </source>
        <translation>Pression ambiante : </translation>
    </message>
</context>
<context>
    <name>FormBluetoothConnectClass</name>
    <message>
        <source>Bluetooth Connection</source>
        <translation>Connexion Bluetooth</translation>
    </message>
    <message>
        <source>Search computer</source>
        <translation>Recherche de l&apos;ordinateur</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Fermer</translation>
    </message>
</context>
<context>
    <name>ImportBluetooth</name>
    <message>
        <source>Pelavix n°: </source>
        <translation>Pelavix n° : </translation>
    </message>
    <message>
        <source>Owner: </source>
        <translation>Propriétaire : </translation>
    </message>
    <message>
        <source>Get list of dives</source>
        <translation>Lecture de la liste des plongées</translation>
    </message>
    <message>
        <source>Dive imported</source>
        <translation>Plongée importée</translation>
    </message>
    <message>
        <source>Select dives to import</source>
        <translation>Choisissez les plongées à importer</translation>
    </message>
    <message>
        <source>Get dive %1</source>
        <translation>Lecture de la plongée %1</translation>
    </message>
    <message>
        <source>Dive not found</source>
        <translation>Plongée introuvable</translation>
    </message>
    <message>
        <source>Dive %1: %2</source>
        <translation>Plongée %1 : %2</translation>
    </message>
    <message>
        <source>Dive %1 is damaged: it was not imported</source>
        <translation>La plongée %1 est endommagée : elle n&apos;a pas été importée</translation>
    </message>
    <message>
        <source>Exchange Error: </source>
        <translation>Erreur d&apos;échange : </translation>
    </message>
    <message>
        <source>Computer disconnected</source>
        <translation>Ordinateur déconnecté</translation>
    </message>
    <message>
        <source>Dives %1 are damaged: they were not imported</source>
        <translation>Les plongées %1 sont endommagées : elles n&apos;ont pas été importées</translation>
    </message>
</context>
<context>
    <name>ImportBluetoothClass</name>
    <message>
        <source>Import Dives</source>
        <translation>Importer des plongées</translation>
    </message>
    <message>
        <source>Pelavix n°:</source>
        <translation>Pelavix n° :</translation>
    </message>
    <message>
        <source>Name:</source>
        <translation>Nom :</translation>
    </message>
    <message>
        <source>Import</source>
        <translation>Importer</translation>
    </message>
    <message>
        <source>Samples with tissues</source>
        <translation>Échantillons avec tissus</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>Ok</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Download dives</source>
        <translation>Télécharger les plongées</translation>
    </message>
    <message>
        <source>Program name</source>
        <translation>Programmer le nom</translation>
    </message>
    <message>
        <source>Install firmware/bootloader</source>
        <translation>Installer le firmware/bootloader</translation>
    </message>
    <message>
        <source>Get system logs</source>
        <translation>Lire les journaux système</translation>
    </message>
    <message>
        <source>Computer Connected</source>
        <translation>Ordinateur connecté</translation>
    </message>
    <message>
        <source>Serial</source>
        <translation>Numéro de série</translation>
    </message>
    <message>
        <source>Mode</source>
        <translation>Mode</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Attention</translation>
    </message>
    <message>
        <source>The computer is in Bootloader mode</source>
        <translation>L&apos;ordinateur est en mode bootloader</translation>
    </message>
    <message>
        <source>Set owner</source>
        <translation>Propriétaire</translation>
    </message>
    <message>
        <source>Owner name</source>
        <translation>Nom du propriétaire</translation>
    </message>
    <message>
        <source>The owner name is too long: the computer keeps at most %1 bytes of it in UTF-8, and &quot;%2&quot; takes %3.</source>
        <translation>Le nom du propriétaire est trop long : l&apos;ordinateur en garde au plus %1 octets en UTF-8, et « %2 » en prend %3.</translation>
    </message>
    <message>
        <source>Get syslog...</source>
        <translation>Lecture du journal système...</translation>
    </message>
    <message>
        <source>Save Syslog</source>
        <translation>Enregistrer le journal système</translation>
    </message>
    <message>
        <source>Syslog files (*.syslog)</source>
        <translation>Journaux système (*.syslog)</translation>
    </message>
    <message>
        <source>Close Connection</source>
        <translation>Fermer la connexion</translation>
    </message>
    <message>
        <source>Reset Computer</source>
        <translation>Réinitialiser l&apos;ordinateur</translation>
    </message>
    <message>
        <source>Disconnect Computer</source>
        <translation>Déconnecter l&apos;ordinateur</translation>
    </message>
    <message>
        <source>Are you sure to disconnect the computer?</source>
        <translation>Voulez-vous vraiment déconnecter l&apos;ordinateur ?</translation>
    </message>
    <message>
        <source>Are you sure to reset the computer?</source>
        <translation>Voulez-vous vraiment réinitialiser l&apos;ordinateur ?</translation>
    </message>
    <message>
        <source>Simulation Error</source>
        <translation>Erreur de simulation</translation>
    </message>
    <message>
        <source>No dive profile loaded</source>
        <translation>Aucun profil de plongée chargé</translation>
    </message>
    <message>
        <source>Stop ascent</source>
        <translation>Arrêter la remontée</translation>
    </message>
    <message>
        <source>Are you sure to stop ascent?</source>
        <translation>Voulez-vous vraiment arrêter la remontée ?</translation>
    </message>
    <message>
        <source>Firmware Update Available</source>
        <translation>Mise à jour du firmware disponible</translation>
    </message>
    <message>
        <source>The connected device is using an earlier firmware version %1.
A more recent version %2 is available.</source>
        <translation>L&apos;appareil connecté utilise une version antérieure du firmware, %1.
Une version plus récente, %2, est disponible.</translation>
    </message>
</context>
<context>
    <name>MainWindowClass</name>
    <message>
        <source>Ascent</source>
        <translation>Remontée</translation>
    </message>
</context>
<context>
    <name>QuelmBleProtocol</name>
    <message>
        <source>Unknown error (%1)</source>
        <translation>Erreur inconnue (%1)</translation>
    </message>
    <message>
        <source>No error</source>
        <translation>Aucune erreur</translation>
    </message>
    <message>
        <source>Unknown Bluetooth error</source>
        <translation>Erreur Bluetooth inconnue</translation>
    </message>
    <message>
        <source>The dive computer is not known</source>
        <translation>L&apos;ordinateur de plongée est inconnu</translation>
    </message>
    <message>
        <source>Bluetooth read or write failed</source>
        <translation>Échec de lecture ou d&apos;écriture Bluetooth</translation>
    </message>
    <message>
        <source>No usable Bluetooth adapter</source>
        <translation>Aucun adaptateur Bluetooth utilisable</translation>
    </message>
    <message>
        <source>The connection to the dive computer failed</source>
        <translation>La connexion à l&apos;ordinateur de plongée a échoué</translation>
    </message>
    <message>
        <source>Bluetooth advertising failed</source>
        <translation>Échec de l&apos;annonce Bluetooth</translation>
    </message>
    <message>
        <source>The dive computer closed the connection</source>
        <translation>L&apos;ordinateur de plongée a fermé la connexion</translation>
    </message>
    <message>
        <source>The dive computer refused the connection</source>
        <translation>L&apos;ordinateur de plongée a refusé la connexion</translation>
    </message>
    <message>
        <source>Bluetooth permission missing</source>
        <translation>Autorisation Bluetooth manquante</translation>
    </message>
    <message>
        <source>The dive computer did not answer in time</source>
        <translation>L&apos;ordinateur de plongée n&apos;a pas répondu à temps</translation>
    </message>
    <message>
        <source>The answer of the dive computer is damaged</source>
        <translation>La réponse de l&apos;ordinateur de plongée est endommagée</translation>
    </message>
    <message>
        <source>The dive computer gave an unexpected answer</source>
        <translation>L&apos;ordinateur de plongée a donné une réponse inattendue</translation>
    </message>
    <message>
        <source>The dive computer refused the command</source>
        <translation>L&apos;ordinateur de plongée a refusé la commande</translation>
    </message>
    <message>
        <source>No dive computer connected</source>
        <translation>Aucun ordinateur de plongée connecté</translation>
    </message>
    <message>
        <source>The dive computer is busy</source>
        <translation>L&apos;ordinateur de plongée est occupé</translation>
    </message>
    <message>
        <source>Operation not possible in the service&apos;s state</source>
        <translation>Opération impossible dans l&apos;état du service</translation>
    </message>
    <message>
        <source>Writing a characteristic failed</source>
        <translation>Échec d&apos;écriture d&apos;une caractéristique</translation>
    </message>
    <message>
        <source>Writing a descriptor failed</source>
        <translation>Échec d&apos;écriture d&apos;un descripteur</translation>
    </message>
    <message>
        <source>Unknown service error</source>
        <translation>Erreur de service inconnue</translation>
    </message>
    <message>
        <source>Reading a characteristic failed</source>
        <translation>Échec de lecture d&apos;une caractéristique</translation>
    </message>
    <message>
        <source>Reading a descriptor failed</source>
        <translation>Échec de lecture d&apos;un descripteur</translation>
    </message>
</context>
<context>
    <name>QuelmSession</name>
    <message>
        <source>No dive computer library is present: the dive computer cannot be reached</source>
        <translation>Aucune bibliothèque d&apos;ordinateur de plongée n&apos;est présente : l&apos;ordinateur de plongée est injoignable</translation>
    </message>
</context>
</TS>
