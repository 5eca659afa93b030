<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_FR">
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
</context>
</TS>
