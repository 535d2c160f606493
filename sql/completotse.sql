-- Objetos de la base de estadísticas TS_ESTADISTICAS, común a los programas
-- de la suite. Se ejecuta una vez creada la base, con el usuario de la base
-- conectado a ella. Corre igual en SQL Server y en el motor embebido: lotes
-- separados por GO en mayúsculas (el ejecutor de creación distingue
-- mayúsculas), sin borrar nada. Ejecutarlo otra vez solo da "ya existe".

-- Configuración de estaciones y de la base: una fila por clave, con el mismo
-- formato que la configuración de la empresa (CfgTS / GrabaCfgTS).
CREATE TABLE dbo.TA_CONFIGURACION (
    Clave varchar(50) NOT NULL PRIMARY KEY,
    Valor varchar(255) NULL,
    ValorAux varchar(255) NULL DEFAULT (''),
    Grupo varchar(50) NULL,
    PoliticaNegocio bit NOT NULL DEFAULT (0)
)
GO
