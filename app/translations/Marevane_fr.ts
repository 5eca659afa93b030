<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_FR">
<context>
    <name>AboutBox</name>
    <message>
        <source>Ok</source>
        <translation>Ok</translation>
    </message>
    <message>
        <source>Visit the website</source>
        <translation>Visiter le site web</translation>
    </message>
    <message>
        <source>View license terms</source>
        <translation>Voir les conditions de licence</translation>
    </message>
    <message>
        <source>V</source>
        <translation>V</translation>
    </message>
    <message>
        <source>The web site address is not configured</source>
        <translation>L&apos;adresse du site web n&apos;est pas configurée</translation>
    </message>
</context>
<context>
    <name>BinaryFile</name>
    <message>
        <source>The file is not a binary dive file.</source>
        <translation>Le fichier n&apos;est pas un fichier de plongée binaire.</translation>
    </message>
    <message>
        <source>The file is cut short.</source>
        <translation>Le fichier est tronqué.</translation>
    </message>
    <message>
        <source>The file&apos;s layout version %1 is not one this program reads.</source>
        <translation>Ce programme ne lit pas les fichiers de version %1.</translation>
    </message>
    <message>
        <source>The file holds no dive.</source>
        <translation>Le fichier ne contient aucune plongée.</translation>
    </message>
    <message>
        <source>The dive data is damaged at byte %1.</source>
        <translation>Les données de la plongée sont endommagées à l&apos;octet %1.</translation>
    </message>
    <message>
        <source>The dive data holds a value of &quot;%1&quot; that is not a finite number.</source>
        <translation>Les données de la plongée contiennent une valeur « %1 » qui n&apos;est pas un nombre fini.</translation>
    </message>
    <message>
        <source>The dive holds more than %1 samples or gases.</source>
        <translation>La plongée contient plus de %1 points ou gaz.</translation>
    </message>
</context>
<context>
    <name>CsvFile</name>
    <message>
        <source>the time</source>
        <translation>le temps</translation>
    </message>
    <message>
        <source>the depth</source>
        <translation>la profondeur</translation>
    </message>
    <message>
        <source>the temperature</source>
        <translation>la température</translation>
    </message>
    <message>
        <source>the OTU</source>
        <translation>l&apos;OTU</translation>
    </message>
    <message>
        <source>the CNS</source>
        <translation>le CNS</translation>
    </message>
    <message>
        <source>the deco ceiling</source>
        <translation>le plafond de déco</translation>
    </message>
    <message>
        <source>the no-decompression time</source>
        <translation>le temps sans décompression</translation>
    </message>
    <message>
        <source>Line %1: %2 is not a finite number (%3)</source>
        <translation>Ligne %1 : %2 n&apos;est pas un nombre fini (%3)</translation>
    </message>
    <message>
        <source>The file holds no sample: no line of 20 TAB-separated fields with a time and a depth</source>
        <translation>Le fichier ne contient aucun point : aucune ligne de 20 champs séparés par des tabulations avec un temps et une profondeur</translation>
    </message>
</context>
<context>
    <name>DiveDb</name>
    <message>
        <source>The logbook is damaged: to keep the dives it holds, nothing more is written to it until the program is started again. Its dives can still be read.</source>
        <translation>Le carnet de plongée est endommagé : pour préserver les plongées qu&apos;il contient, plus rien n&apos;y est écrit avant le prochain démarrage du programme. Ses plongées peuvent toujours être lues.</translation>
    </message>
    <message>
        <source>No free dive id is left in the database</source>
        <translation>La base de données n&apos;a plus d&apos;identifiant de plongée libre</translation>
    </message>
    <message>
        <source>Sample %1 of the dive holds a value that is not a finite number</source>
        <translation>Le point %1 de la plongée contient une valeur qui n&apos;est pas un nombre fini</translation>
    </message>
    <message>
        <source>Dive %1 is not in the database</source>
        <translation>La plongée %1 n&apos;est pas dans la base de données</translation>
    </message>
    <message>
        <source>Sample %1 of dive %2 holds a value that is not a finite number</source>
        <translation>Le point %1 de la plongée %2 contient une valeur qui n&apos;est pas un nombre fini</translation>
    </message>
    <message>
        <source>The database is not open</source>
        <translation>La base de données n&apos;est pas ouverte</translation>
    </message>
</context>
<context>
    <name>DiveLimits</name>
    <message>
        <source>the time</source>
        <translation>le temps</translation>
    </message>
    <message>
        <source>the depth</source>
        <translation>la profondeur</translation>
    </message>
    <message>
        <source>the deco ceiling</source>
        <translation>le plafond de déco</translation>
    </message>
    <message>
        <source>the temperature</source>
        <translation>la température</translation>
    </message>
    <message>
        <source>the pressure</source>
        <translation>la pression</translation>
    </message>
    <message>
        <source>the tank pressure</source>
        <translation>la pression du bloc</translation>
    </message>
    <message>
        <source>Sample %1: %2 %3 is out of range.</source>
        <translation>Point %1 : %2 %3 est hors limites.</translation>
    </message>
    <message>
        <source>the begin time</source>
        <translation>l&apos;heure de début</translation>
    </message>
    <message>
        <source>the end time</source>
        <translation>l&apos;heure de fin</translation>
    </message>
    <message>
        <source>the maximum depth</source>
        <translation>la profondeur maximale</translation>
    </message>
    <message>
        <source>the average depth</source>
        <translation>la profondeur moyenne</translation>
    </message>
    <message>
        <source>the minimum temperature</source>
        <translation>la température minimale</translation>
    </message>
    <message>
        <source>the maximum temperature</source>
        <translation>la température maximale</translation>
    </message>
    <message>
        <source>the surface pressure</source>
        <translation>la pression en surface</translation>
    </message>
    <message>
        <source>the total stage duration</source>
        <translation>la durée totale des paliers</translation>
    </message>
    <message>
        <source>the ascent time</source>
        <translation>la durée de remontée</translation>
    </message>
    <message>
        <source>The dive&apos;s header: %1 %2 is out of range.</source>
        <translation>En-tête de la plongée : %1 %2 est hors limites.</translation>
    </message>
    <message>
        <source>Sample %1 goes back in time: %2 s after %3 s.</source>
        <translation>Le point %1 revient en arrière dans le temps : %2 s après %3 s.</translation>
    </message>
    <message>
        <source>the dive time</source>
        <translation>la durée de la plongée</translation>
    </message>
    <message>
        <source>the oxygen fraction</source>
        <translation>la fraction d&apos;oxygène</translation>
    </message>
    <message>
        <source>the helium fraction</source>
        <translation>la fraction d&apos;hélium</translation>
    </message>
    <message>
        <source>Gas &quot;%1&quot;: %2 %3 is out of range.</source>
        <translation>Gaz « %1 » : %2 %3 est hors limites.</translation>
    </message>
    <message>
        <source>Gas &quot;%1&quot;: oxygen and helium add up to %2, more than the whole.</source>
        <translation>Gaz « %1 » : l&apos;oxygène et l&apos;hélium font ensemble %2, plus que le tout.</translation>
    </message>
</context>
<context>
    <name>DiveListTable</name>
    <message>
        <source>Dive Id</source>
        <translation>Plongée</translation>
    </message>
    <message>
        <source>Date/Time</source>
        <translation>Date/Heure</translation>
    </message>
    <message>
        <source>Duration</source>
        <translation>Durée</translation>
    </message>
    <message>
        <source>Depth</source>
        <translation>Profondeur</translation>
    </message>
    <message>
        <source>Computers</source>
        <translation>Ordinateurs</translation>
    </message>
    <message>
        <source>Computer</source>
        <translation>Ordinateur</translation>
    </message>
    <message>
        <source>Dives</source>
        <translation>Plongées</translation>
    </message>
    <message>
        <source>No name</source>
        <translation>Sans nom</translation>
    </message>
    <message>
        <source>No serial number</source>
        <translation>Sans numéro de série</translation>
    </message>
    <message numerus="yes">
        <source>%n dives</source>
        <translation>
            <numerusform>%n plongée</numerusform>
            <numerusform>%n plongées</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>DiveProfileItem</name>
    <message>
        <source>Fast ascent: %1m/mn</source>
        <translation>Remontée rapide : %1m/mn</translation>
    </message>
    <message>
        <source>Ceiling violation: %1m</source>
        <translation>Plafond dépassé : %1m</translation>
    </message>
    <message>
        <source>Hyperoxic: %1bar</source>
        <translation>Hyperoxie : %1bar</translation>
    </message>
    <message>
        <source>Hypoxic: %1bar</source>
        <translation>Hypoxie : %1bar</translation>
    </message>
    <message>
        <source>Narcotic: %1m</source>
        <translation>Narcose : %1m</translation>
    </message>
    <message>
        <source>Battery warning: %1mV</source>
        <translation>Alerte batterie : %1mV</translation>
    </message>
    <message>
        <source>CNS warning: %1</source>
        <translation>Alerte CNS : %1</translation>
    </message>
    <message>
        <source>Density warning</source>
        <translation>Alerte densité</translation>
    </message>
    <message>
        <source> (Diluent)</source>
        <translation> (Diluant)</translation>
    </message>
    <message>
        <source> (Bailout)</source>
        <translation> (Secours)</translation>
    </message>
    <message>
        <source> (Open Circuit)</source>
        <translation> (Circuit ouvert)</translation>
    </message>
    <message>
        <source>Invalid dive: Yoyo on one of previous dives</source>
        <translation>Plongée invalide : yoyo sur une des plongées précédentes</translation>
    </message>
    <message>
        <source>Invalid dive: Dive not allowed because of TAR &gt; 0.8</source>
        <translation>Plongée invalide : plongée interdite car TAR &gt; 0.8</translation>
    </message>
    <message>
        <source>Invalid dive: Too many yoyos</source>
        <translation>Plongée invalide : trop de yoyos</translation>
    </message>
    <message>
        <source>Invalid dive: Contains surface interval greater than 15mn</source>
        <translation>Plongée invalide : intervalle de surface supérieur à 15mn</translation>
    </message>
    <message>
        <source>Deco not terminated</source>
        <translation>Déco non terminée</translation>
    </message>
    <message>
        <source>Time: %1 - Depth: %2</source>
        <translation>Temps : %1 - Profondeur : %2</translation>
    </message>
</context>
<context>
    <name>FormFilter</name>
    <message>
        <source>Serial</source>
        <translation>Numéro de série</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Nom</translation>
    </message>
</context>
<context>
    <name>FormFilterClass</name>
    <message>
        <source>Filter</source>
        <translation>Filtre</translation>
    </message>
    <message>
        <source>By computer</source>
        <translation>Par ordinateur</translation>
    </message>
    <message>
        <source>Active</source>
        <translation>Actif</translation>
    </message>
    <message>
        <source>All</source>
        <translation>Tous</translation>
    </message>
    <message>
        <source>None</source>
        <translation>Aucun</translation>
    </message>
    <message>
        <source>Serial number</source>
        <translation>Numéro de série</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Nom</translation>
    </message>
    <message>
        <source>By date</source>
        <translation>Par date</translation>
    </message>
    <message>
        <source>Start date</source>
        <translation>Date de début</translation>
    </message>
    <message>
        <source>End date</source>
        <translation>Date de fin</translation>
    </message>
    <message>
        <source>Time range</source>
        <translation>Plage horaire</translation>
    </message>
    <message>
        <source>Start time</source>
        <translation>Heure de début</translation>
    </message>
    <message>
        <source>End time</source>
        <translation>Heure de fin</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>Ok</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
</context>
<context>
    <name>GenericFileDownloader</name>
    <message>
        <source>Cannot write output file</source>
        <translation>Impossible d&apos;écrire le fichier de sortie</translation>
    </message>
    <message>
        <source>The download was cut short</source>
        <translation>Le téléchargement a été interrompu</translation>
    </message>
    <message>
        <source>The download was sent on to %1, which is neither an https address nor this computer</source>
        <translation>Le téléchargement a été renvoyé vers %1, qui n&apos;est ni une adresse https ni cet ordinateur</translation>
    </message>
    <message>
        <source>The download is larger than %1 MB, more than any update, and was stopped</source>
        <translation>Le téléchargement dépasse %1 Mo, plus que toute mise à jour, et a été arrêté</translation>
    </message>
    <message>
        <source>Cannot write output file: %1</source>
        <translation>Impossible d&apos;écrire le fichier de sortie : %1</translation>
    </message>
</context>
<context>
    <name>GraphItem</name>
    <message>
        <source>Ceil</source>
        <translation>Plafond</translation>
    </message>
    <message>
        <source>RR</source>
        <translation>RR</translation>
    </message>
    <message>
        <source>Yoyo</source>
        <translation>Yoyo</translation>
    </message>
    <message>
        <source>Security</source>
        <translation>Sécurité</translation>
    </message>
    <message>
        <source>Period 24H</source>
        <translation>Période 24H</translation>
    </message>
    <message>
        <source>Dive: %1 - Depth: %2m - Duration:%3</source>
        <translation>Plongée : %1 - Profondeur : %2m - Durée :%3</translation>
    </message>
    <message>
        <source> - File: %1</source>
        <translation> - Fichier : %1</translation>
    </message>
</context>
<context>
    <name>GraphView</name>
    <message>
        <source>Position information</source>
        <translation>Informations de position</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Temps</translation>
    </message>
    <message>
        <source>Depth</source>
        <translation>Profondeur</translation>
    </message>
    <message>
        <source>Speed</source>
        <translation>Vitesse</translation>
    </message>
    <message>
        <source>Temperature</source>
        <translation>Température</translation>
    </message>
    <message>
        <source>Tank Pressure</source>
        <translation>Pression bloc</translation>
    </message>
    <message>
        <source>Ceiling</source>
        <translation>Plafond</translation>
    </message>
    <message>
        <source>NDL</source>
        <translation>NDL</translation>
    </message>
    <message>
        <source>Selection</source>
        <translation>Sélection</translation>
    </message>
    <message>
        <source>Start Time</source>
        <translation>Début</translation>
    </message>
    <message>
        <source>End Time</source>
        <translation>Fin</translation>
    </message>
    <message>
        <source>Elapsed Time</source>
        <translation>Durée</translation>
    </message>
    <message>
        <source>Alert</source>
        <translation>Alerte</translation>
    </message>
    <message>
        <source>Switch gas</source>
        <translation>Changement de gaz</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Data Folder Error</source>
        <translation>Erreur du dossier de données</translation>
    </message>
    <message>
        <source>Impossible to create the data folder %1
Settings and dives will not be saved.</source>
        <translation>Impossible de créer le dossier de données %1
Les réglages et les plongées ne seront pas enregistrés.</translation>
    </message>
    <message>
        <source>Database Error</source>
        <translation>Erreur de base de données</translation>
    </message>
    <message>
        <source>Impossible to open database</source>
        <translation>Impossible d&apos;ouvrir la base de données</translation>
    </message>
    <message>
        <source>Impossible to create database 
</source>
        <translation>Impossible de créer la base de données 
</translation>
    </message>
    <message>
        <source>OC</source>
        <translation>CO</translation>
    </message>
    <message>
        <source>CC</source>
        <translation>CF</translation>
    </message>
    <message>
        <source>BO</source>
        <translation>BO</translation>
    </message>
    <message>
        <source>Open Dive File</source>
        <translation>Ouvrir un fichier de plongée</translation>
    </message>
    <message>
        <source>Dive file (*.csv *.uddf *.divebin);;Csv file (*.csv);;UDDF file (*.uddf);;Binary dive file (*.divebin)</source>
        <translation>Fichier de plongée (*.csv *.uddf *.divebin);;Fichier CSV (*.csv);;Fichier UDDF (*.uddf);;Fichier de plongée binaire (*.divebin)</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Erreur</translation>
    </message>
    <message>
        <source>Invalid File</source>
        <translation>Fichier invalide</translation>
    </message>
    <message>
        <source>Impossible to open file</source>
        <translation>Impossible d&apos;ouvrir le fichier</translation>
    </message>
    <message>
        <source>Save selection</source>
        <translation>Enregistrer la sélection</translation>
    </message>
    <message>
        <source>Save Dive File</source>
        <translation>Enregistrer le fichier de plongée</translation>
    </message>
    <message>
        <source>Dive file (*.uddf *.csv);;UDDF file (*.uddf);;Csv file (*.csv)</source>
        <translation>Fichier de plongée (*.uddf *.csv);;Fichier UDDF (*.uddf);;Fichier Csv (*.csv)</translation>
    </message>
    <message>
        <source>Impossible to write file %1</source>
        <translation>Impossible d&apos;écrire le fichier %1</translation>
    </message>
    <message>
        <source>
Database not open</source>
        <translation>
Base de données non ouverte</translation>
    </message>
    <message>
        <source>
Dive Id already exists</source>
        <translation>
Cette plongée existe déjà</translation>
    </message>
    <message>
        <source>Impossible to read profile</source>
        <translation>Impossible de lire le profil</translation>
    </message>
    <message>
        <source>The logbook could not be upgraded: its dives are listed as they are, and the upgrade is tried again later.
</source>
        <translation>Le carnet de plongée n&apos;a pas pu être mis à jour : ses plongées sont listées telles quelles, et la mise à jour sera tentée à nouveau plus tard.
</translation>
    </message>
    <message>
        <source>Impossible to read the dive list</source>
        <translation>Impossible de lire la liste des plongées</translation>
    </message>
    <message>
        <source>Impossible to rename the dive</source>
        <translation>Impossible de renommer la plongée</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Ouvrir</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Supprimer</translation>
    </message>
    <message>
        <source>Rename</source>
        <translation>Renommer</translation>
    </message>
    <message>
        <source>Export</source>
        <translation>Exporter</translation>
    </message>
    <message>
        <source>csv separator</source>
        <translation>séparateur csv</translation>
    </message>
    <message>
        <source>Dot .</source>
        <translation>Point .</translation>
    </message>
    <message>
        <source>Comma ,</source>
        <translation>Virgule ,</translation>
    </message>
    <message>
        <source>Semicolon ;</source>
        <translation>Point-virgule ;</translation>
    </message>
    <message>
        <source>Are you sure to delete this dive?</source>
        <translation>Voulez-vous vraiment supprimer cette plongée ?</translation>
    </message>
    <message>
        <source>Are you sure to delete these dives?</source>
        <translation>Voulez-vous vraiment supprimer ces plongées ?</translation>
    </message>
    <message>
        <source>Delete dive</source>
        <translation>Supprimer la plongée</translation>
    </message>
    <message>
        <source>Impossible to delete profile(</source>
        <translation>Impossible de supprimer le profil(</translation>
    </message>
    <message>
        <source>%1 of the %2 selected dives could not be deleted</source>
        <translation>%1 des %2 plongées choisies n&apos;ont pas pu être supprimées</translation>
    </message>
    <message>
        <source>Name already exists</source>
        <translation>Ce nom existe déjà</translation>
    </message>
    <message>
        <source>Export Profile</source>
        <translation>Exporter le profil</translation>
    </message>
    <message>
        <source>Invalid File Name</source>
        <translation>Nom de fichier invalide</translation>
    </message>
    <message>
        <source>Write Database Error</source>
        <translation>Erreur d&apos;écriture de la base de données</translation>
    </message>
    <message>
        <source>Impossible to write profile </source>
        <translation>Impossible d&apos;écrire le profil </translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Nom</translation>
    </message>
    <message>
        <source>Invalid name</source>
        <translation>Nom invalide</translation>
    </message>
    <message>
        <source>Impossible to save the user information</source>
        <translation>Impossible d&apos;enregistrer les informations de l&apos;utilisateur</translation>
    </message>
    <message>
        <source>Unsaved changes</source>
        <translation>Modifications non enregistrées</translation>
    </message>
    <message>
        <source>You have unsaved changes. Do you want to save them?</source>
        <translation>Certaines modifications ne sont pas enregistrées. Voulez-vous les enregistrer ?</translation>
    </message>
    <message>
        <source>Open Circuit</source>
        <translation>Circuit ouvert</translation>
    </message>
    <message>
        <source>Closed Circuit</source>
        <translation>Circuit fermé</translation>
    </message>
    <message>
        <source>Semi Closed Circuit</source>
        <translation>Circuit semi-fermé</translation>
    </message>
    <message>
        <source>Free Dive</source>
        <translation>Apnée</translation>
    </message>
    <message>
        <source>Unknown</source>
        <translation>Inconnu</translation>
    </message>
    <message>
        <source>Fresh</source>
        <translation>Douce</translation>
    </message>
    <message>
        <source>Salt</source>
        <translation>Mer</translation>
    </message>
    <message>
        <source>Minimize profile area</source>
        <translation>Réduire la zone du profil</translation>
    </message>
    <message>
        <source>Maximize profile area</source>
        <translation>Agrandir la zone du profil</translation>
    </message>
    <message>
        <source>Application update</source>
        <translation>Mise à jour de l&apos;application</translation>
    </message>
    <message>
        <source>A new version %1 is available, do you want to download and install it?</source>
        <translation>Une nouvelle version %1 est disponible, voulez-vous la télécharger et l&apos;installer ?</translation>
    </message>
    <message>
        <source>Download failed</source>
        <translation>Échec du téléchargement</translation>
    </message>
    <message>
        <source>Downloading new version...</source>
        <translation>Téléchargement de la nouvelle version...</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>Downloading</source>
        <translation>Téléchargement</translation>
    </message>
    <message>
        <source>Download finished</source>
        <translation>Téléchargement terminé</translation>
    </message>
    <message>
        <source>The new version has been downloaded to %1</source>
        <translation>La nouvelle version a été téléchargée dans %1</translation>
    </message>
    <message>
        <source>Erreur on start installation</source>
        <translation>Erreur au lancement de l&apos;installation</translation>
    </message>
    <message>
        <source>Update refused</source>
        <translation>Mise à jour refusée</translation>
    </message>
    <message>
        <source>The downloaded update was refused as unsafe and removed: %1</source>
        <translation>La mise à jour téléchargée a été refusée comme dangereuse et supprimée : %1</translation>
    </message>
</context>
<context>
    <name>MainWindowClass</name>
    <message>
        <source>Dives management</source>
        <translation>Gestion des plongées</translation>
    </message>
    <message>
        <source>Import dive</source>
        <translation>Importer une plongée</translation>
    </message>
    <message>
        <source>Store dive</source>
        <translation>Enregistrer la plongée</translation>
    </message>
    <message>
        <source>Connect Pelavix</source>
        <translation>Connecter le Pelavix</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; font-weight:700; color:#0055ff;&quot;&gt;Computer Disconnected&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; font-weight:700; color:#0055ff;&quot;&gt;Ordinateur déconnecté&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>Test</source>
        <translation>Test</translation>
    </message>
    <message>
        <source>Filter</source>
        <translation>Filtre</translation>
    </message>
    <message>
        <source>0 Computers/0 Dives</source>
        <translation>0 ordinateurs/0 plongées</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Nom</translation>
    </message>
    <message>
        <source>Date/Time</source>
        <translation>Date/Heure</translation>
    </message>
    <message>
        <source>Duration</source>
        <translation>Durée</translation>
    </message>
    <message>
        <source>Depth</source>
        <translation>Profondeur</translation>
    </message>
    <message>
        <source>Fit to all</source>
        <translation>Tout afficher</translation>
    </message>
    <message>
        <source>Points</source>
        <translation>Points</translation>
    </message>
    <message>
        <source>Temperature</source>
        <translation>Température</translation>
    </message>
    <message>
        <source>Gases</source>
        <translation>Gaz</translation>
    </message>
    <message>
        <source>Deco</source>
        <translation>Déco</translation>
    </message>
    <message>
        <source>Alerts</source>
        <translation>Alertes</translation>
    </message>
    <message>
        <source>Max depth</source>
        <translation>Prof. max</translation>
    </message>
    <message>
        <source>Tank pressure</source>
        <translation>Pression bloc</translation>
    </message>
    <message>
        <source>Show profile maximized</source>
        <translation>Agrandir le profil</translation>
    </message>
    <message>
        <source>Summary</source>
        <translation>Résumé</translation>
    </message>
    <message>
        <source>Dive name</source>
        <translation>Nom de la plongée</translation>
    </message>
    <message>
        <source>Average depth</source>
        <translation>Prof. moyenne</translation>
    </message>
    <message>
        <source>Dive mode</source>
        <translation>Mode de plongée</translation>
    </message>
    <message>
        <source>Water type</source>
        <translation>Type d&apos;eau</translation>
    </message>
    <message>
        <source>Surface pressure</source>
        <translation>Pression de surface</translation>
    </message>
    <message>
        <source>GFs</source>
        <translation>GF</translation>
    </message>
    <message>
        <source>Ceil</source>
        <translation>Plafond</translation>
    </message>
    <message>
        <source>Ascent</source>
        <translation>Remontée</translation>
    </message>
    <message>
        <source>High O2</source>
        <translation>O2 élevé</translation>
    </message>
    <message>
        <source>Battery</source>
        <translation>Batterie</translation>
    </message>
    <message>
        <source>AI</source>
        <translation>AI</translation>
    </message>
    <message>
        <source>User information</source>
        <translation>Informations</translation>
    </message>
    <message>
        <source>Place</source>
        <translation>Lieu</translation>
    </message>
    <message>
        <source>Spot</source>
        <translation>Site</translation>
    </message>
    <message>
        <source>Buddy</source>
        <translation>Binôme</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Enregistrer</translation>
    </message>
    <message>
        <source>Computer</source>
        <translation>Ordinateur</translation>
    </message>
    <message>
        <source>Sample interval</source>
        <translation>Intervalle d&apos;échantillonnage</translation>
    </message>
    <message>
        <source>Serial</source>
        <translation>Numéro de série</translation>
    </message>
    <message>
        <source>O2</source>
        <translation>O2</translation>
    </message>
    <message>
        <source>He</source>
        <translation>He</translation>
    </message>
    <message>
        <source>Type</source>
        <translation>Type</translation>
    </message>
    <message>
        <source>Console</source>
        <translation>Console</translation>
    </message>
    <message>
        <source>Simulation</source>
        <translation>Simulation</translation>
    </message>
    <message>
        <source>Connect</source>
        <translation>Connecter</translation>
    </message>
    <message>
        <source>Manual</source>
        <translation>Manuel</translation>
    </message>
    <message>
        <source>Ambient Pressure</source>
        <translation>Pression ambiante</translation>
    </message>
    <message>
        <source>Profile</source>
        <translation>Profil</translation>
    </message>
    <message>
        <source>Point number:</source>
        <translation>Numéro de point :</translation>
    </message>
    <message>
        <source>Time:</source>
        <translation>Temps :</translation>
    </message>
    <message>
        <source>Depth:</source>
        <translation>Profondeur :</translation>
    </message>
    <message>
        <source>NDL/Ceil:</source>
        <translation>NDL/Plafond :</translation>
    </message>
    <message>
        <source>Dive planification</source>
        <translation>Planification de plongée</translation>
    </message>
    <message>
        <source>Open Circuit</source>
        <translation>Circuit ouvert</translation>
    </message>
    <message>
        <source>Closed Circuit</source>
        <translation>Circuit fermé</translation>
    </message>
    <message>
        <source>Salt</source>
        <translation>Mer</translation>
    </message>
    <message>
        <source>Fresh</source>
        <translation>Douce</translation>
    </message>
    <message>
        <source>Surface interval</source>
        <translation>Intervalle de surface</translation>
    </message>
    <message>
        <source>Air</source>
        <translation>Air</translation>
    </message>
    <message>
        <source>Nx40</source>
        <translation>Nx40</translation>
    </message>
    <message>
        <source>Air + OxyAR</source>
        <translation>Air + OxyAR</translation>
    </message>
    <message>
        <source>Air + OxySR</source>
        <translation>Air + OxySR</translation>
    </message>
    <message>
        <source>CF Oxy</source>
        <translation>CF Oxy</translation>
    </message>
    <message>
        <source>GFl</source>
        <translation>GFb</translation>
    </message>
    <message>
        <source>GFh</source>
        <translation>GFh</translation>
    </message>
    <message>
        <source>%Rd</source>
        <translation>%Rd</translation>
    </message>
    <message>
        <source>Add dive</source>
        <translation>Ajouter une plongée</translation>
    </message>
    <message>
        <source>Replace current dive by a new one</source>
        <translation>Remplacer la plongée courante par une nouvelle</translation>
    </message>
    <message>
        <source>Remove active dive</source>
        <translation>Supprimer la plongée active</translation>
    </message>
    <message>
        <source>Add existing dive</source>
        <translation>Ajouter une plongée existante</translation>
    </message>
    <message>
        <source>Designation</source>
        <translation>Désignation</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Supprimer</translation>
    </message>
    <message>
        <source>Add dive point</source>
        <translation>Ajouter un point</translation>
    </message>
    <message>
        <source>Remove selected dive point</source>
        <translation>Supprimer le point sélectionné</translation>
    </message>
    <message>
        <source>Create new simulation</source>
        <translation>Nouvelle simulation</translation>
    </message>
    <message>
        <source>Open simulation</source>
        <translation>Ouvrir une simulation</translation>
    </message>
    <message>
        <source>Save simulation</source>
        <translation>Enregistrer la simulation</translation>
    </message>
    <message>
        <source>Hide/Show points</source>
        <translation>Masquer/Afficher les points</translation>
    </message>
    <message>
        <source>Test YOYO</source>
        <translation>Test YOYO</translation>
    </message>
    <message>
        <source>Test RR</source>
        <translation>Test RR</translation>
    </message>
    <message>
        <source>Solve</source>
        <translation>Résoudre</translation>
    </message>
    <message>
        <source>Tissues N2 load at</source>
        <translation>Charge N2 des tissus au</translation>
    </message>
    <message>
        <source>Start of dive</source>
        <translation>Début de plongée</translation>
    </message>
    <message>
        <source>End of dive</source>
        <translation>Fin de plongée</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Fichier</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Aide</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Ouvrir</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Quitter</translation>
    </message>
    <message>
        <source>About</source>
        <translation>À propos</translation>
    </message>
</context>
<context>
    <name>Planificator</name>
    <message>
        <source>The stream holds a field list of layout %1, which this program does not read.</source>
        <translation>Le flux contient une liste de champs de version %1, que ce programme ne lit pas.</translation>
    </message>
    <message>
        <source>The stream is cut short.</source>
        <translation>Le flux est tronqué.</translation>
    </message>
    <message>
        <source>The stream holds a number that is not finite.</source>
        <translation>Le flux contient un nombre qui n&apos;est pas fini.</translation>
    </message>
    <message>
        <source>The stream holds a negative count (%1).</source>
        <translation>Le flux contient un nombre d&apos;éléments négatif (%1).</translation>
    </message>
</context>
<context>
    <name>QPushButton</name>
    <message>
        <source>Ok</source>
        <translation>Ok</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
</context>
<context>
    <name>UddfFile</name>
    <message>
        <source>The file is not a UDDF document.</source>
        <translation>Le fichier n&apos;est pas un document UDDF.</translation>
    </message>
    <message>
        <source>The file holds no dive.</source>
        <translation>Le fichier ne contient aucune plongée.</translation>
    </message>
    <message>
        <source>The dive holds no sample.</source>
        <translation>La plongée ne contient aucun point.</translation>
    </message>
    <message>
        <source>Waypoint %1: the %2 &quot;%3&quot; is not a finite number.</source>
        <translation>Point %1 : la valeur %2 « %3 » n&apos;est pas un nombre fini.</translation>
    </message>
    <message>
        <source>Waypoint %1: the %2 &quot;%3&quot; is out of range.</source>
        <translation>Point %1 : la valeur %2 « %3 » est hors limites.</translation>
    </message>
    <message>
        <source>Mix &quot;%1&quot;: the %2 &quot;%3&quot; is not a finite number.</source>
        <translation>Mélange « %1 » : la valeur %2 « %3 » n&apos;est pas un nombre fini.</translation>
    </message>
    <message>
        <source>The file is too large to be read.</source>
        <translation>Le fichier est trop volumineux pour être lu.</translation>
    </message>
    <message>
        <source>The file is not well-formed XML (at byte %1).</source>
        <translation>Le fichier n&apos;est pas un XML bien formé (à l&apos;octet %1).</translation>
    </message>
</context>
<context>
    <name>ZipArchive</name>
    <message>
        <source>The entry &quot;%1&quot; is damaged: its data is not what the archive declares.</source>
        <translation>L&apos;entrée « %1 » est endommagée : ses données ne sont pas celles que l&apos;archive déclare.</translation>
    </message>
    <message>
        <source>The entry &quot;%1&quot; is encrypted.</source>
        <translation>L&apos;entrée « %1 » est chiffrée.</translation>
    </message>
    <message>
        <source>The entry &quot;%1&quot; is a link or a special file.</source>
        <translation>L&apos;entrée « %1 » est un lien ou un fichier spécial.</translation>
    </message>
    <message>
        <source>The entry &quot;%1&quot; is compressed in an unknown way.</source>
        <translation>L&apos;entrée « %1 » est compressée d&apos;une manière inconnue.</translation>
    </message>
    <message>
        <source>The list of the archive&apos;s entries is damaged.</source>
        <translation>La liste des entrées de l&apos;archive est endommagée.</translation>
    </message>
    <message>
        <source>An entry has an empty, overlong or invalid name.</source>
        <translation>Une entrée a un nom vide, trop long ou invalide.</translation>
    </message>
    <message>
        <source>The entry &quot;%1&quot; would be written outside its folder.</source>
        <translation>L&apos;entrée « %1 » serait écrite hors de son dossier.</translation>
    </message>
    <message>
        <source>The entry &quot;%1&quot; is larger than %2 MB.</source>
        <translation>L&apos;entrée « %1 » dépasse %2 Mo.</translation>
    </message>
    <message>
        <source>The archive unpacks to more than %1 MB.</source>
        <translation>L&apos;archive se décompresse en plus de %1 Mo.</translation>
    </message>
    <message>
        <source>The archive holds more than %1 entries.</source>
        <translation>L&apos;archive contient plus de %1 entrées.</translation>
    </message>
    <message>
        <source>The entry &quot;%1&quot; would be written through a link.</source>
        <translation>L&apos;entrée « %1 » serait écrite à travers un lien.</translation>
    </message>
</context>
</TS>
