<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_FR">
<context>
    <name>FormMeasureTwoPoints</name>
    <message>
        <source>Point 1</source>
        <translation>Point 1</translation>
    </message>
    <message>
        <source>Point 2</source>
        <translation>Point 2</translation>
    </message>
    <message>
        <source>Depth</source>
        <translation>Profondeur</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Temps</translation>
    </message>
    <message>
        <source>Différence profondeur</source>
        <translation>Différence profondeur</translation>
    </message>
    <message>
        <source>Différence temps</source>
        <translation>Différence temps</translation>
    </message>
    <message>
        <source>Vitesse moyenne</source>
        <translation>Vitesse moyenne</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>Ok</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Add dive</source>
        <translation>Ajouter une plongée</translation>
    </message>
    <message>
        <source>Replace current dive</source>
        <translation>Remplacer la plongée courante</translation>
    </message>
    <message>
        <source>Delete this point</source>
        <translation>Supprimer ce point</translation>
    </message>
    <message>
        <source>Set start of DTR</source>
        <translation>Définir le début de la DTR</translation>
    </message>
    <message>
        <source>Measure between 2 points</source>
        <translation>Mesurer entre 2 points</translation>
    </message>
    <message>
        <source>Activate on/off effort mode</source>
        <translation>Activer ou désactiver le mode effort</translation>
    </message>
    <message>
        <source>New planification</source>
        <translation>Nouvelle planification</translation>
    </message>
    <message>
        <source>Are you sure to create new planification?</source>
        <translation>Voulez-vous vraiment créer une nouvelle planification ?</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Erreur</translation>
    </message>
    <message>
        <source>No free location fro a new dive</source>
        <translation>Plus d&apos;emplacement libre pour une nouvelle plongée</translation>
    </message>
    <message>
        <source>Replace dive</source>
        <translation>Remplacer la plongée</translation>
    </message>
    <message>
        <source>Are you sure to replace current dive?</source>
        <translation>Voulez-vous vraiment remplacer la plongée courante ?</translation>
    </message>
    <message>
        <source>Select a line after which insert a point</source>
        <translation>Sélectionnez la ligne après laquelle insérer un point</translation>
    </message>
    <message>
        <source>A dive keeps at least one point</source>
        <translation>Une plongée garde au moins un point</translation>
    </message>
    <message>
        <source>Select the dive point to remove</source>
        <translation>Sélectionnez le point de plongée à supprimer</translation>
    </message>
    <message>
        <source>Delete selected points</source>
        <translation>Supprimer les points sélectionnés</translation>
    </message>
    <message>
        <source>Impossible to set start of DTR on planified profile</source>
        <translation>Impossible de définir le début de la DTR sur un profil planifié</translation>
    </message>
    <message>
        <source>Time: </source>
        <translation>Temps : </translation>
    </message>
    <message>
        <source>Depth: %1m</source>
        <translation>Profondeur : %1m</translation>
    </message>
    <message>
        <source>Speed: %1m/mn</source>
        <translation>Vitesse : %1m/mn</translation>
    </message>
    <message>
        <source>PpO2: %1</source>
        <translation>PpO2 : %1</translation>
    </message>
    <message>
        <source>Ceil: %1</source>
        <translation>Plafond : %1</translation>
    </message>
    <message>
        <source>Measure between two points</source>
        <translation>Mesure entre deux points</translation>
    </message>
    <message>
        <source>No free location for a new dive</source>
        <translation>Plus d&apos;emplacement libre pour une nouvelle plongée</translation>
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
        <source>Impossible to read profile</source>
        <translation>Impossible de lire le profil</translation>
    </message>
    <message>
        <source>Impossible to load dive file</source>
        <translation>Impossible de charger le fichier de plongée</translation>
    </message>
    <message>
        <source>Database Error</source>
        <translation>Erreur de base de données</translation>
    </message>
    <message>
        <source>Add to planification</source>
        <translation>Ajouter à la planification</translation>
    </message>
    <message>
        <source>Replace current in planification</source>
        <translation>Remplacer la plongée courante de la planification</translation>
    </message>
    <message>
        <source>This dive cannot be planned</source>
        <translation>Cette plongée ne peut pas être planifiée</translation>
    </message>
    <message>
        <source>Dive plan file (*.diveplan)</source>
        <translation>Fichier de plan de plongée (*.diveplan)</translation>
    </message>
    <message>
        <source>Save Plan</source>
        <translation>Enregistrer le plan</translation>
    </message>
    <message>
        <source>Impossible to save plan</source>
        <translation>Impossible d&apos;enregistrer le plan</translation>
    </message>
    <message>
        <source>Load plan</source>
        <translation>Charger un plan</translation>
    </message>
    <message>
        <source>Impossible to load plan</source>
        <translation>Impossible de charger le plan</translation>
    </message>
</context>
<context>
    <name>PlanificationPlan</name>
    <message>
        <source>Dive </source>
        <translation>Plongée </translation>
    </message>
    <message>
        <source>The dive is not computed: %1</source>
        <translation>La plongée n&apos;est pas calculée : %1</translation>
    </message>
    <message>
        <source>Point %1 holds a value that is not a finite number</source>
        <translation>Le point %1 contient une valeur qui n&apos;est pas un nombre fini</translation>
    </message>
    <message>
        <source>Point %1 lies before the start of the dive</source>
        <translation>Le point %1 se trouve avant le début de la plongée</translation>
    </message>
    <message>
        <source>Point %1 lies before the point ahead of it</source>
        <translation>Le point %1 se trouve avant le point qui le précède</translation>
    </message>
    <message>
        <source>Point %1 lies more than 24 hours after the start of the dive</source>
        <translation>Le point %1 se trouve plus de 24 heures après le début de la plongée</translation>
    </message>
    <message>
        <source>Point %1 lies deeper than %2 m, the deepest stop the planner computes</source>
        <translation>Le point %1 est plus profond que %2 m, le palier le plus profond que calcule le planificateur</translation>
    </message>
    <message>
        <source>Point %1 lies more than %2 m above the surface</source>
        <translation>Le point %1 se trouve plus de %2 m au-dessus de la surface</translation>
    </message>
    <message>
        <source>Dive %1: %2</source>
        <translation>Plongée %1 : %2</translation>
    </message>
    <message>
        <source>its tissue state is not valid</source>
        <translation>son état des tissus n&apos;est pas valide</translation>
    </message>
    <message>
        <source>its tissues hold more gas than any dive the planner computes</source>
        <translation>ses tissus contiennent plus de gaz que toute plongée calculée par le planificateur</translation>
    </message>
    <message>
        <source>its helium flag is neither 0 nor 1</source>
        <translation>son indicateur d&apos;hélium ne vaut ni 0 ni 1</translation>
    </message>
    <message>
        <source>its surface reduction is not valid</source>
        <translation>sa réduction de surface n&apos;est pas valide</translation>
    </message>
    <message>
        <source>its surface pressure lies outside %1 to %2 mbar</source>
        <translation>sa pression de surface est hors de l&apos;intervalle %1 à %2 mbar</translation>
    </message>
    <message>
        <source>its surface interval is negative</source>
        <translation>son intervalle de surface est négatif</translation>
    </message>
    <message>
        <source>its surface interval is a day or more</source>
        <translation>son intervalle de surface atteint ou dépasse un jour</translation>
    </message>
    <message>
        <source>The surface pressure lies outside %1 to %2 mbar</source>
        <translation>La pression de surface est hors de l&apos;intervalle %1 à %2 mbar</translation>
    </message>
    <message>
        <source>its effort flag is neither 0 nor 1</source>
        <translation>son indicateur d&apos;effort ne vaut ni 0 ni 1</translation>
    </message>
    <message>
        <source>It is a folder, not a file</source>
        <translation>C&apos;est un dossier, pas un fichier</translation>
    </message>
    <message>
        <source>The file cannot be read: %1</source>
        <translation>Le fichier ne peut pas être lu : %1</translation>
    </message>
    <message>
        <source>The file is larger than a plan of three dives (%1 bytes)</source>
        <translation>Le fichier est plus grand qu&apos;un plan de trois plongées (%1 octets)</translation>
    </message>
    <message>
        <source>The file ends before the count of its dives</source>
        <translation>Le fichier s&apos;arrête avant le nombre de ses plongées</translation>
    </message>
    <message>
        <source>The file counts %1 dives; a plan holds 0 to %2</source>
        <translation>Le fichier compte %1 plongées ; un plan en contient de 0 à %2</translation>
    </message>
    <message>
        <source>The file holds %1 bytes where a plan of %2 dives takes %3</source>
        <translation>Le fichier contient %1 octets alors qu&apos;un plan de %2 plongées en occupe %3</translation>
    </message>
    <message>
        <source>The folder %1 does not exist</source>
        <translation>Le dossier %1 n&apos;existe pas</translation>
    </message>
    <message>
        <source>The file does not exist</source>
        <translation>Le fichier n&apos;existe pas</translation>
    </message>
    <message>
        <source>its surface pressure is not a finite number</source>
        <translation>sa pression de surface n&apos;est pas un nombre fini</translation>
    </message>
</context>
<context>
    <name>TblDivePointsModel</name>
    <message>
        <source>Depth</source>
        <translation>Profondeur</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Temps</translation>
    </message>
    <message>
        <source>Gas</source>
        <translation>Gaz</translation>
    </message>
</context>
</TS>
